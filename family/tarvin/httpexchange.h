#pragma once
// The HTTP side of the transport, over libcurl: one POST of a job document and one GET of a
// page into a file. Each call makes its own connection and bounds it in time
// (transferlimits.h). A short body, a reset connection, a status other than 200 or a body over
// the size bound is a failure.

#include <cstdint>
#include <string>

enum class ExchangeStatus {
    Ok,
    BadAddress,     // host, port or path unusable; nothing was sent
    ConnectFailed,  // no connection (refused, unreachable, connect time-out)
    TimedOut,       // the transfer stalled or the job took too long
    Broken,         // connection reset or body shorter than announced
    HttpStatus,     // an answer other than 200
    TooLarge,       // the body exceeds the bound
    UnknownLength,  // a download body whose length was not announced
    FileError,      // the page file could not be written
};

struct ExchangeResult {
    ExchangeStatus status = ExchangeStatus::Ok;
    long httpStatus = 0;
    bool ok() const { return status == ExchangeStatus::Ok; }
};

// Once per process, before any exchange; safe to call again. False when libcurl cannot start.
bool initialiseHttp();

// "http://<host>:<port><path>[?<query>]", or empty when host, port or path is unusable.
std::string makeUrl(const std::string& host, std::uint16_t port, const std::string& path,
                    const std::string& query);

// Posts the body as text/xml and collects the answer (at most maxBytes) into response.
ExchangeResult postXml(const std::string& url, const std::string& body, std::string* response,
                       size_t maxBytes);

// Fetches the URL into the already open file descriptor (at most maxBytes) and reports how
// many bytes were written. The caller owns the descriptor and decides what to keep.
ExchangeResult downloadTo(const std::string& url, int fd, std::uint64_t maxBytes,
                          std::uint64_t* written);
