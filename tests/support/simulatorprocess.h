#pragma once
// Runs the device simulator (<program folder>/mfpsim) for a test: on 127.0.0.1 with an
// ephemeral port and the given store folder, optionally with the demo store and misbehaviour
// rules (see tools/mfpsim/misbehaviour.h). The constructor waits until the simulator reports
// "ready"; the destructor stops it. The simulator logs every request it receives; requests()
// reads that log, which lets a test prove what was sent, or that nothing was.
//
//   TempFolder store;
//   SimulatorProcess sim({.store = store.path(), .seedDemo = true});
//   ASSERT_TRUE(sim.running()) << sim.error();
//   ... talk to sim.host() on sim.port() ...
//   EXPECT_EQ(sim.requests().size(), 1u);
//
// The simulator is ended by the system when the thread that started it ends (so that a crashed
// test leaves none behind): start it on the thread that runs the test.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct SimulatorOptions {
    std::filesystem::path store;         // the store folder (created when absent)
    bool seedDemo = false;               // --seed-demo
    std::vector<std::string> misbehave;  // --misbehave rules
    // Anything else, passed as given (not --log: requests() reads the log in the store folder).
    std::vector<std::string> extraArgs;
};

// One logged request.
struct LoggedRequest {
    std::string channel;  // "http" or "usb"
    std::string method;   // "POST", "GET", ...
    std::string target;   // path and query, e.g. "/loadimg.cgi?FileID=0001A2F3&PageNumber=3"
    std::string command;  // the job's COMMAND text; empty for a page download
    std::string body;     // the request body as received
};

class SimulatorProcess {
  public:
    explicit SimulatorProcess(SimulatorOptions options);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // True once the simulator reported "ready" and until stop().
    bool running() const { return pid_ > 0; }
    // Why it did not start, for the test's failure message.
    const std::string& error() const { return error_; }

    std::string host() const { return "127.0.0.1"; }
    std::uint16_t port() const { return port_; }
    const std::filesystem::path& store() const { return options_.store; }
    // Everything the simulator announced before "ready" ("http-port", and what its channels
    // announce, e.g. the search port or the USB socket).
    const std::map<std::string, std::string>& announcements() const { return announcements_; }

    // Every request logged so far, in arrival order.
    std::vector<LoggedRequest> requests() const;
    // Forgets the requests logged so far.
    void clearRequests();
    // Replaces the misbehaviour rules of the running simulator (an empty list clears them).
    // False when the simulator refused a rule or could not be reached.
    bool setMisbehaviour(const std::vector<std::string>& rules);

    // Stops the simulator (SIGTERM, then SIGKILL after 5 s) and waits for it. Safe to repeat.
    void stop();

  private:
    bool readAnnouncements(int fd);

    SimulatorOptions options_;
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
    std::map<std::string, std::string> announcements_;
    std::string error_;
};

// Path of the simulator executable in the program folder.
std::filesystem::path simulatorExecutable();
