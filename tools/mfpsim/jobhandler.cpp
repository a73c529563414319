#include "tools/mfpsim/jobhandler.h"

#include <pugixml.hpp>

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

constexpr int kCodeSuccess = 600;
constexpr int kCodeLastChunk = 603;
constexpr int kCodeUnknownCommand = 801;
constexpr int kCodeAuthentication = 807;
constexpr int kCodeNoFile = 808;
constexpr int kCodeNoSuchFile = 810;
constexpr int kCodeCannotDelete = 811;

// The elements under JOB/PARAM/STORAGE of a request.
struct JobRequest {
    std::string command;
    pugi::xml_node storage;
};

std::optional<std::uint32_t> unsignedChild(pugi::xml_node parent, const char* name) {
    const pugi::xml_node child = parent.child(name);
    if (!child) {
        return std::nullopt;
    }
    const std::string text = child.text().get();
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long long value = std::stoull(text);
    if (value > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// A response document: JOB with CODE first.
class Response {
  public:
    explicit Response(int code) {
        root_ = doc_.append_child("JOB");
        add("CODE", code);
    }
    pugi::xml_node root() { return root_; }
    void add(const char* name, long long value, pugi::xml_node parent = {}) {
        add(name, std::to_string(value), parent);
    }
    void add(const char* name, const std::string& text, pugi::xml_node parent = {}) {
        (parent ? parent : root_).append_child(name).text().set(text.c_str());
    }
    std::string text() const {
        std::ostringstream out;
        doc_.save(out, "", pugi::format_raw);
        return out.str();
    }

  private:
    pugi::xml_document doc_;
    pugi::xml_node root_;
};

std::string codeOnly(int code) {
    return Response(code).text();
}

std::string readFile(const std::filesystem::path& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    *ok = static_cast<bool>(in) || in.eof();
    *ok = *ok && !path.empty();
    return bytes;
}

// A body that starts like a response and then breaks off inside an element.
const char* kMalformedBody =
    "<?xml version=\"1.0\"?><JOB><CODE>600</CODE><FOLDER><FOLDERID>1</FOLDERNAME>";

}  // namespace

JobHandler::JobHandler(SimulatorStore& store, RequestLog& log, Misbehaviour& misbehaviour)
    : store_(store), log_(log), misbehaviour_(misbehaviour) {}

JobReply JobHandler::handleJob(const RequestOrigin& origin, const std::string& requestBody,
                               PageTransfer* transfer) {
    JobReply reply;
    pugi::xml_document request;
    const bool parsed = request.load_buffer(requestBody.data(), requestBody.size()) &&
                        request.document_element() &&
                        std::string(request.document_element().name()) == "JOB";
    if (parsed) {
        reply.command = request.document_element().child("COMMAND").text().get();
    }
    log_.record(origin.channel, origin.method, origin.target, reply.command, requestBody);

    const MisbehaviourDecision decision = misbehaviour_.decide(reply.command, false);
    switch (decision.kind) {
        case MisbehaviourKind::Refuse:
            reply.body = codeOnly(decision.value);
            return reply;
        case MisbehaviourKind::Status:
            reply.httpStatus = decision.value;
            return reply;
        case MisbehaviourKind::Malformed:
            reply.body = kMalformedBody;
            return reply;
        case MisbehaviourKind::Stall:
            reply.misbehaviour = decision.kind;
            reply.stallSeconds = decision.value;
            return reply;
        case MisbehaviourKind::Drop:
        case MisbehaviourKind::Unsized:
            reply.misbehaviour = decision.kind;
            break;  // answered normally; the channel changes how it is sent
        case MisbehaviourKind::None:
            break;
    }
    if (!parsed) {
        reply.httpStatus = 400;
        return reply;
    }
    reply.body = answer(reply.command, requestBody, transfer, &reply.chunk);
    return reply;
}

std::string JobHandler::answer(const std::string& command, const std::string& requestBody,
                               PageTransfer* transfer, std::string* chunk) {
    pugi::xml_document request;
    request.load_buffer(requestBody.data(), requestBody.size());
    const pugi::xml_node storage = request.document_element().child("PARAM").child("STORAGE");
    std::lock_guard lock(storeMutex_);

    if (command == "LIST") {
        const auto folderId = unsignedChild(storage, "FOLDERID");
        if (!folderId) {
            Response response(kCodeSuccess);
            response.add("ROOTNAME", store_.deviceName());
            for (const StoredBox& box : store_.boxes()) {
                pugi::xml_node folder = response.root().append_child("FOLDER");
                response.add("FOLDERID", box.folderId, folder);
                response.add("FOLDERNAME", box.name, folder);
                response.add("ATTRIBUTE", box.attribute, folder);
            }
            return response.text();
        }
        const auto box = store_.findBox(*folderId);
        if (!box) {
            return codeOnly(kCodeNoFile);
        }
        if ((box->attribute & 0x10) != 0 &&
            (!storage.child("PASSWORD") ||
             box->password != storage.child("PASSWORD").text().get())) {
            return codeOnly(kCodeAuthentication);
        }
        Response response(kCodeSuccess);
        for (const StoredDocument& document : store_.documents(*folderId)) {
            pugi::xml_node file = response.root().append_child("FILE");
            response.add("FOLDERID", document.folderId, file);
            response.add("FOLDERNAME", box->name, file);
            response.add("FILEID", document.fileId, file);
            response.add("FILENAME", document.fileName, file);
            response.add("TIMESTAMP", document.timestamp, file);
            response.add("PAGES", document.pages, file);
            response.add("IMAGEFORMAT", document.imageFormat, file);
            response.add("ATTRIBUTE", document.attribute, file);
        }
        return response.text();
    }
    if (command == "DELETE") {
        const auto fileId = unsignedChild(storage, "FILEID");
        if (!fileId || !store_.findDocument(*fileId)) {
            return codeOnly(kCodeNoSuchFile);
        }
        return codeOnly(store_.deleteDocument(*fileId) ? kCodeSuccess : kCodeCannotDelete);
    }
    if (command == "GETIMAGEINFO") {
        const auto fileId = unsignedChild(storage, "FILEID");
        const auto page = unsignedChild(storage, "PAGE");
        const auto document = fileId ? store_.findDocument(*fileId) : std::nullopt;
        if (!document || !page || *page < 1 ||
            *page > static_cast<std::uint32_t>(document->pages)) {
            return codeOnly(kCodeNoFile);
        }
        Response response(kCodeSuccess);
        response.add("XPIXEL", document->xPixel);
        response.add("YPIXEL", document->yPixel);
        response.add("XRESOLUTION", document->xResolution);
        response.add("YRESOLUTION", document->yResolution);
        return response.text();
    }
    if (command == "GETFILE" && transfer != nullptr) {
        *transfer = PageTransfer{};
        const auto fileId = unsignedChild(storage, "FILEID");
        const auto page = unsignedChild(storage, "PAGENUMBER");
        const auto document = fileId ? store_.findDocument(*fileId) : std::nullopt;
        if (!document || !page || *page < 1 ||
            *page > static_cast<std::uint32_t>(document->pages)) {
            return codeOnly(kCodeNoFile);
        }
        bool ok = false;
        transfer->bytes = readFile(store_.pagePath(*document, static_cast<int>(*page)), &ok);
        if (!ok) {
            transfer->bytes.clear();
            return codeOnly(kCodeNoFile);
        }
        transfer->selected = true;
        return codeOnly(kCodeSuccess);
    }
    if (command == "GETDATA" && transfer != nullptr) {
        if (!transfer->selected) {
            return codeOnly(kCodeNoFile);
        }
        const size_t size = std::min(kDataChunkBytes, transfer->bytes.size() - transfer->offset);
        *chunk = transfer->bytes.substr(transfer->offset, size);
        transfer->offset += size;
        const bool last = transfer->offset >= transfer->bytes.size();
        Response response(last ? kCodeLastChunk : kCodeSuccess);
        response.add("DATASIZE", static_cast<long long>(size));
        if (last) {
            *transfer = PageTransfer{};
        }
        return response.text();
    }
    return codeOnly(kCodeUnknownCommand);
}

PageReply JobHandler::handlePageDownload(const std::string& target,
                                         const std::map<std::string, std::string>& query) {
    log_.record("http", "GET", target, "", "");
    PageReply reply;
    const MisbehaviourDecision decision = misbehaviour_.decide("", true);
    if (decision.kind == MisbehaviourKind::Refuse || decision.kind == MisbehaviourKind::Status) {
        reply.httpStatus = decision.value;
        return reply;
    }
    if (decision.kind == MisbehaviourKind::Stall) {
        reply.misbehaviour = decision.kind;
        reply.stallSeconds = decision.value;
        return reply;
    }
    if (decision.kind == MisbehaviourKind::Drop || decision.kind == MisbehaviourKind::Unsized) {
        reply.misbehaviour = decision.kind;
    }

    const auto fileIdText = query.find("FileID");
    const auto pageText = query.find("PageNumber");
    if (fileIdText == query.end() || pageText == query.end() || fileIdText->second.size() != 8 ||
        fileIdText->second.find_first_not_of("0123456789ABCDEF") != std::string::npos ||
        pageText->second.empty() || pageText->second.size() > 9 ||
        pageText->second.find_first_not_of("0123456789") != std::string::npos) {
        reply.httpStatus = 400;
        return reply;
    }
    const auto fileId = static_cast<std::uint32_t>(std::stoul(fileIdText->second, nullptr, 16));
    const int page = std::stoi(pageText->second);
    std::lock_guard lock(storeMutex_);
    const auto document = store_.findDocument(fileId);
    if (!document || page < 1 || page > document->pages) {
        reply.httpStatus = 404;
        return reply;
    }
    bool ok = false;
    reply.bytes = readFile(store_.pagePath(*document, page), &ok);
    if (!ok) {
        reply.bytes.clear();
        reply.httpStatus = 404;
        return reply;
    }
    reply.contentType = document->imageFormat == 0 ? "image/tiff" : "image/jpeg";
    return reply;
}
