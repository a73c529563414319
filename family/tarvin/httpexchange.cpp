#include "family/tarvin/httpexchange.h"

#include <curl/curl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>

#include "family/tarvin/transferlimits.h"

namespace {

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

bool isHostCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == ':';
}

bool isPathCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '.' || c == '-' || c == '_' || c == '~';
}

// What every transfer shares: no proxy, no redirect, no reuse, HTTP only, the time limits.
CurlHandle newHandle(const std::string& url, bool wholeJobLimit) {
    CurlHandle handle(curl_easy_init());
    if (!handle) {
        return handle;
    }
    const TransferLimits limits = currentTransferLimits();
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    // A transfer slower than one byte a second for the stall limit is given up.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    if (wholeJobLimit) {
        curl_easy_setopt(h, CURLOPT_TIMEOUT, limits.jobSeconds);
    }
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Velnor/1.0");
    return handle;
}

ExchangeStatus statusOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return ExchangeStatus::Ok;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return ExchangeStatus::BadAddress;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            return ExchangeStatus::ConnectFailed;
        case CURLE_OPERATION_TIMEDOUT:
            return ExchangeStatus::TimedOut;
        case CURLE_FILESIZE_EXCEEDED:
            return ExchangeStatus::TooLarge;
        default:
            return ExchangeStatus::Broken;
    }
}

struct Collector {
    std::string* text = nullptr;
    size_t maxBytes = 0;
    bool tooLarge = false;
};

size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* collector = static_cast<Collector*>(user);
    const size_t bytes = size * count;
    if (collector->text->size() + bytes > collector->maxBytes) {
        collector->tooLarge = true;
        return 0;  // aborts the transfer
    }
    collector->text->append(data, bytes);
    return bytes;
}

struct FileSink {
    int fd = -1;
    std::uint64_t maxBytes = 0;
    std::uint64_t written = 0;
    bool tooLarge = false;
    bool fileError = false;
};

size_t writeToFile(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    const size_t bytes = size * count;
    if (sink->written + bytes > sink->maxBytes) {
        sink->tooLarge = true;
        return 0;
    }
    size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::write(sink->fd, data + done, bytes - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            sink->fileError = true;
            return 0;
        }
        done += static_cast<size_t>(n);
    }
    sink->written += bytes;
    return bytes;
}

// Notes whether the answer announced its body's length (Content-Length or chunked coding).
size_t noteHeader(char* data, size_t size, size_t count, void* user) {
    const size_t bytes = size * count;
    const std::string line(data, bytes);
    auto startsWith = [&line](const char* prefix) {
        return ::strncasecmp(line.c_str(), prefix, std::char_traits<char>::length(prefix)) == 0;
    };
    if (startsWith("HTTP/")) {
        *static_cast<bool*>(user) = false;  // a new answer (e.g. after 100 Continue)
    } else if (startsWith("content-length:") ||
               (startsWith("transfer-encoding:") && line.find("chunked") != std::string::npos)) {
        *static_cast<bool*>(user) = true;
    }
    return bytes;
}

// The result of a finished transfer, with a body that came shorter than announced counted as
// broken.
ExchangeResult finish(CURL* h, CURLcode code, std::uint64_t received) {
    ExchangeResult result;
    result.status = statusOf(code);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    if (!result.ok()) {
        return result;
    }
    if (result.httpStatus != 200) {
        result.status = ExchangeStatus::HttpStatus;
        return result;
    }
    curl_off_t announced = -1;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
        announced >= 0 && static_cast<std::uint64_t>(announced) != received) {
        result.status = ExchangeStatus::Broken;
    }
    return result;
}

}  // namespace

bool initialiseHttp() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

std::string makeUrl(const std::string& host, std::uint16_t port, const std::string& path,
                    const std::string& query) {
    if (host.empty() || host.size() > 255 || port == 0 || path.empty() || path.front() != '/' ||
        path.size() > 1024) {
        return {};
    }
    for (char c : host) {
        if (!isHostCharacter(c)) {
            return {};
        }
    }
    for (char c : path) {
        if (!isPathCharacter(c)) {
            return {};
        }
    }
    const bool ipv6 = host.find(':') != std::string::npos;
    std::string url =
        "http://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + path;
    if (!query.empty()) {
        url += "?" + query;
    }
    return url;
}

ExchangeResult postXml(const std::string& url, const std::string& body, std::string* response,
                       size_t maxBytes) {
    response->clear();
    if (url.empty() || !initialiseHttp()) {
        return {ExchangeStatus::BadAddress, 0};
    }
    CurlHandle handle = newHandle(url, true);
    if (!handle) {
        return {ExchangeStatus::Broken, 0};
    }
    CURL* h = handle.get();
    HeaderList headers(curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8"));
    if (!headers || !curl_slist_append(headers.get(), "Expect:")) {
        return {ExchangeStatus::Broken, 0};
    }
    Collector collector{response, maxBytes, false};
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &collector);
    const CURLcode code = curl_easy_perform(h);
    ExchangeResult result = finish(h, code, response->size());
    if (collector.tooLarge) {
        result.status = ExchangeStatus::TooLarge;
    }
    if (!result.ok()) {
        response->clear();
    }
    return result;
}

ExchangeResult downloadTo(const std::string& url, int fd, std::uint64_t maxBytes,
                          std::uint64_t* written) {
    *written = 0;
    if (url.empty() || !initialiseHttp()) {
        return {ExchangeStatus::BadAddress, 0};
    }
    CurlHandle handle = newHandle(url, false);
    if (!handle) {
        return {ExchangeStatus::Broken, 0};
    }
    CURL* h = handle.get();
    FileSink sink{fd, maxBytes, 0, false, false};
    bool lengthAnnounced = false;
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, noteHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &lengthAnnounced);
    const CURLcode code = curl_easy_perform(h);
    *written = sink.written;
    ExchangeResult result = finish(h, code, sink.written);
    if (sink.fileError) {
        result.status = ExchangeStatus::FileError;
    } else if (sink.tooLarge) {
        result.status = ExchangeStatus::TooLarge;
    } else if (result.ok() && !lengthAnnounced) {
        result.status = ExchangeStatus::UnknownLength;
    }
    return result;
}
