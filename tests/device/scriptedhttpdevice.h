#pragma once
// A device that answers "/ScanBox.cgi" with response documents given by the test, one per job
// in order, and "/loadimg.cgi" with given bytes, on 127.0.0.1 and an ephemeral port. It logs
// every request, so a test can check what was sent and prove that nothing was. For cases the
// simulator does not play (a refusal after some elements, exactly given elements).

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

struct ScriptedRequest {
    std::string path;   // "/ScanBox.cgi" or "/loadimg.cgi"
    std::string query;  // "FileID=...&PageNumber=..." for a page download
    std::string body;   // the job document of a job
};

class ScriptedHttpDevice {
  public:
    ScriptedHttpDevice();
    ~ScriptedHttpDevice();
    ScriptedHttpDevice(const ScriptedHttpDevice&) = delete;
    ScriptedHttpDevice& operator=(const ScriptedHttpDevice&) = delete;

    std::uint16_t port() const { return port_; }

    // The next job's answer: the XML body, sent with status 200.
    void answerJob(std::string xml);
    // The next page download's answer.
    void answerPage(std::string bytes, int status = 200);

    std::vector<ScriptedRequest> requests() const;

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    std::deque<std::string> jobAnswers_;
    std::deque<std::pair<std::string, int>> pageAnswers_;
    std::vector<ScriptedRequest> requests_;
};

// "<JOB>" + inner + "</JOB>" with an XML declaration.
std::string JobResponse(const std::string& inner);
