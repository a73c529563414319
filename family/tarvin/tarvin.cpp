// The HTTP-XML transport library: GetHTTPXML fills the program's table of entry points with
// the operations below. Every entry point catches everything: no exception leaves the library.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "device/protocol/httpxmltable.h"
#include "family/tarvin/httpexchange.h"
#include "family/tarvin/jobdocument.h"

#define TARVIN_EXPORT extern "C" __attribute__((visibility("default")))

struct Connection {
    static constexpr std::uint32_t kAlive = 0x436F6E6E;  // "Conn"
    std::uint32_t marker = kAlive;
    std::string host;
};

namespace {

// Page files larger than this are refused.
constexpr std::uint64_t kMaxDownloadBytes = 512ull << 20;

bool usable(const Connection* connection) {
    return connection != nullptr && connection->marker == Connection::kAlive;
}

// Runs the body and turns any exception into the failure value.
template <typename Result, typename Body>
Result guarded(Result failure, Body body) {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

JobDocument* NewJob(const char* const* elementNames) {
    return guarded<JobDocument*>(nullptr, [&]() -> JobDocument* {
        auto* document = new (std::nothrow) JobDocument;
        if (document != nullptr && !document->setElementNames(elementNames)) {
            delete document;
            return nullptr;
        }
        return document;
    });
}

void FreeJob(JobDocument* document) {
    delete document;
}

int ClearJob(JobDocument* document) {
    return guarded(0, [&] {
        if (document == nullptr) {
            return 0;
        }
        document->clear();
        return 1;
    });
}

std::uint32_t EncodedJobSize(JobDocument* document) {
    return document == nullptr ? 0u : static_cast<std::uint32_t>(document->encoded.size());
}

int EncodeJobRequest(JobDocument* document, int, const char* path, int) {
    return guarded(
        0, [&] { return document != nullptr && path != nullptr && document->encode() ? 1 : 0; });
}

int CopyEncodedJob(JobDocument* document, char* buffer, std::uint32_t bufferSize,
                   std::uint32_t* written) {
    if (written != nullptr) {
        *written = 0;
    }
    if (document == nullptr || buffer == nullptr || document->encoded.empty() ||
        document->encoded.size() > bufferSize) {
        return 0;
    }
    std::memcpy(buffer, document->encoded.data(), document->encoded.size());
    if (written != nullptr) {
        *written = static_cast<std::uint32_t>(document->encoded.size());
    }
    return 1;
}

int DecodeJobResponse(JobDocument* document, const char* bytes, std::uint32_t length) {
    return guarded(0, [&] {
        return document != nullptr && bytes != nullptr && document->decodeResponse(bytes, length)
                   ? 1
                   : 0;
    });
}

int SetJobAttribute(JobDocument* document, const char* name, const char* value) {
    return guarded(0, [&] {
        return document != nullptr && name != nullptr && value != nullptr &&
                       document->setAttribute(name, value)
                   ? 1
                   : 0;
    });
}

int OpenElement(JobDocument* document, int elementId) {
    return guarded(0,
                   [&] { return document != nullptr && document->openElement(elementId) ? 1 : 0; });
}

int CloseElement(JobDocument* document) {
    return document != nullptr && document->closeElement() ? 1 : 0;
}

int AddTextElement(JobDocument* document, int elementId, const char* text) {
    return guarded(0, [&] {
        return document != nullptr && text != nullptr && document->addTextElement(elementId, text)
                   ? 1
                   : 0;
    });
}

int AddNumberElement(JobDocument* document, int elementId, std::int32_t value) {
    return guarded(0, [&] {
        return document != nullptr && document->addTextElement(elementId, std::to_string(value))
                   ? 1
                   : 0;
    });
}

int AddNumberElementEx(JobDocument* document, int elementId, std::uint32_t value, int) {
    return guarded(0, [&] {
        return document != nullptr && document->addTextElement(elementId, std::to_string(value))
                   ? 1
                   : 0;
    });
}

JobNode* FirstNode(JobDocument* document, int filter) {
    return document == nullptr ? nullptr : document->firstNode(filter);
}

JobNode* NextNode(JobDocument* document, int filter) {
    return document == nullptr ? nullptr : document->nextNode(filter);
}

int NodeElementId(JobNode* node) {
    return node == nullptr ? -1 : node->elementId;
}

const char* NodeText(JobNode* node) {
    return node == nullptr ? "" : node->element.text().get();
}

int NodeNumber(JobNode* node, std::int32_t* value) {
    return node != nullptr && value != nullptr && parseSigned32(node->element.text().get(), value)
               ? 1
               : 0;
}

int NodeNumberEx(JobNode* node, std::uint32_t* value) {
    return node != nullptr && value != nullptr && parseUnsigned32(node->element.text().get(), value)
               ? 1
               : 0;
}

int SetCommandCode(JobDocument* document, std::uint32_t code) {
    if (document == nullptr) {
        return 0;
    }
    document->commandCode = code;
    return 1;
}

std::uint32_t GetCommandCode(JobDocument* document) {
    return document == nullptr ? 0u : document->commandCode;
}

Connection* OpenConnection(const char* host) {
    return guarded<Connection*>(nullptr, [&]() -> Connection* {
        if (host == nullptr || makeUrl(host, 80, "/", "").empty()) {
            return nullptr;
        }
        auto* connection = new (std::nothrow) Connection;
        if (connection != nullptr) {
            connection->host = host;
        }
        return connection;
    });
}

void CloseConnection(Connection* connection) {
    if (usable(connection)) {
        connection->marker = 0;
        delete connection;
    }
}

int PostJob(Connection* connection, std::uint16_t port, const char* path, JobDocument* document) {
    return guarded(0, [&] {
        if (!usable(connection) || path == nullptr || document == nullptr) {
            return 0;
        }
        const std::string url = makeUrl(connection->host, port, path, "");
        if (url.empty() || !document->encode()) {
            return 0;
        }
        std::string response;
        const std::string request = document->encoded;
        const ExchangeResult result = postXml(url, request, &response, kMaxResponseBytes);
        if (!result.ok()) {
            document->decodeResponse("", 0);  // leaves no response behind
            return 0;
        }
        return document->decodeResponse(response.data(), response.size()) ? 1 : 0;
    });
}

// Removes the file, ignoring a file that is not there.
void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

int DownloadToFile(Connection* connection, std::uint16_t port, const char* path,
                   JobDocument* document, const char* filePath, int) {
    return guarded(0, [&] {
        if (!usable(connection) || path == nullptr || document == nullptr || filePath == nullptr ||
            *filePath == '\0') {
            return 0;
        }
        const std::string target = filePath;
        const std::string url = makeUrl(connection->host, port, path, document->attributeQuery());
        if (url.empty()) {
            return 0;
        }
        // The body goes to a temporary file beside the target, which is renamed over it only
        // when the whole body is there: a failed download never leaves a file that looks whole.
        std::vector<char> temporary(target.begin(), target.end());
        const char suffix[] = ".XXXXXX";
        temporary.insert(temporary.end(), suffix, suffix + sizeof suffix);
        const int fd = ::mkstemp(temporary.data());
        if (fd < 0) {
            removeFile(target);
            return 0;
        }
        ::fchmod(fd, 0644);
        std::uint64_t written = 0;
        const ExchangeResult result = downloadTo(url, fd, kMaxDownloadBytes, &written);
        const bool closed = ::close(fd) == 0;
        if (result.ok() && closed && ::rename(temporary.data(), target.c_str()) == 0) {
            return 1;
        }
        removeFile(temporary.data());
        removeFile(target);
        return 0;
    });
}

}  // namespace

TARVIN_EXPORT int GetHTTPXML(HttpXmlTable* table, std::uint32_t tableSize) {
    return guarded(0, [&] {
        if (table == nullptr || tableSize != kHttpXmlTableBytes || !initialiseHttp()) {
            return 0;
        }
        HttpXmlTable filled{};
        filled.newJob = NewJob;
        filled.freeJob = FreeJob;
        filled.clearJob = ClearJob;
        filled.encodedJobSize = EncodedJobSize;
        filled.encodeJobRequest = EncodeJobRequest;
        filled.copyEncodedJob = CopyEncodedJob;
        filled.decodeJobResponse = DecodeJobResponse;
        filled.setJobAttribute = SetJobAttribute;
        filled.openElement = OpenElement;
        filled.closeElement = CloseElement;
        filled.addTextElement = AddTextElement;
        filled.addNumberElement = AddNumberElement;
        filled.addNumberElementEx = AddNumberElementEx;
        filled.firstNode = FirstNode;
        filled.nextNode = NextNode;
        filled.nodeElementId = NodeElementId;
        filled.nodeText = NodeText;
        filled.nodeNumber = NodeNumber;
        filled.nodeNumberEx = NodeNumberEx;
        filled.setCommandCode = SetCommandCode;
        filled.getCommandCode = GetCommandCode;
        filled.openConnection = OpenConnection;
        filled.closeConnection = CloseConnection;
        filled.downloadToFile = DownloadToFile;
        filled.postJob = PostJob;
        *table = filled;
        return 1;
    });
}
