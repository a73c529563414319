#pragma once
// The simulator's HTTP side: "/ScanBox.cgi" (jobs), "/loadimg.cgi" (page downloads) and, on the
// same port, the admin endpoint "/admin/misbehave" that replaces the misbehaviour rules (body:
// one rule a line; an empty body clears them). Admin requests are not logged.

#include <atomic>
#include <memory>
#include <string>

#include "tools/mfpsim/jobhandler.h"

namespace httplib {
class Server;
}

class HttpServer {
  public:
    HttpServer(JobHandler& jobs, const std::atomic<bool>& stopping);
    ~HttpServer();

    // Binds the address and port (0: an ephemeral port). Returns the bound port, or -1.
    int bind(const std::string& address, int port);
    // Serves until stop(); blocks the calling thread.
    void run();
    void stop();

  private:
    void routes();

    JobHandler& jobs_;
    const std::atomic<bool>& stopping_;
    std::unique_ptr<httplib::Server> server_;
};
