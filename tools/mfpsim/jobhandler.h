#pragma once
// The device's answers, independent of the channel that carries them: the HTTP server and the
// USB channel both hand each request to one JobHandler and send back what it returns. The
// handler logs every request, applies the misbehaviour rules and reads and changes the store.
// Safe to call from several threads: the store is touched under one lock.

#include <map>
#include <mutex>
#include <string>

#include "tools/mfpsim/misbehaviour.h"
#include "tools/mfpsim/requestlog.h"
#include "tools/mfpsim/simulatorstore.h"

// The page a USB channel selected with GETFILE and the part of it GETDATA has sent.
struct PageTransfer {
    bool selected = false;
    std::string bytes;
    size_t offset = 0;
};

// Where a request came from, for the log: channel "http" or "usb", method and target.
struct RequestOrigin {
    std::string channel = "http";
    std::string method = "POST";
    std::string target = "/ScanBox.cgi";
};

struct JobReply {
    std::string command;   // the request's COMMAND text; empty when it had none
    int httpStatus = 200;  // 400 for a body that is no job document
    std::string body;      // the response document
    std::string chunk;     // GETDATA: the raw bytes that follow the response
    MisbehaviourKind misbehaviour = MisbehaviourKind::None;  // Stall, Drop or Unsized
    int stallSeconds = 0;
};

struct PageReply {
    int httpStatus = 200;  // 404 for a missing document or page, 400 for a bad query
    std::string contentType;
    std::string bytes;
    MisbehaviourKind misbehaviour = MisbehaviourKind::None;  // Stall, Drop or Unsized
    int stallSeconds = 0;
};

inline constexpr size_t kDataChunkBytes = 65536;

class JobHandler {
  public:
    JobHandler(SimulatorStore& store, RequestLog& log, Misbehaviour& misbehaviour);

    // Answers one job document. transfer is the channel's GETFILE/GETDATA state; null on a
    // channel without one (GETFILE and GETDATA then answer 801).
    JobReply handleJob(const RequestOrigin& origin, const std::string& requestBody,
                       PageTransfer* transfer);

    // Answers the page download with its query parameters ("FileID" as 8 hex digits,
    // "PageNumber" decimal). target is logged as it came.
    PageReply handlePageDownload(const std::string& target,
                                 const std::map<std::string, std::string>& query);

    Misbehaviour& misbehaviour() { return misbehaviour_; }
    SimulatorStore& store() { return store_; }

  private:
    std::string answer(const std::string& command, const std::string& requestBody,
                       PageTransfer* transfer, std::string* chunk);

    SimulatorStore& store_;
    RequestLog& log_;
    Misbehaviour& misbehaviour_;
    std::mutex storeMutex_;
};
