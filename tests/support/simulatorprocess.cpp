#include "tests/support/simulatorprocess.h"

#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tools/mfpsim/requestlog.h"

namespace {

// Seeding the demo store renders pages; give a sanitizer build time for it.
constexpr int kStartSeconds = 90;

}  // namespace

std::filesystem::path simulatorExecutable() {
    return std::filesystem::path(VELNOR_PROGRAM_DIR) / "mfpsim";
}

SimulatorProcess::SimulatorProcess(SimulatorOptions options) : options_(std::move(options)) {
    std::vector<std::string> args = {simulatorExecutable().string(),
                                     "--store",
                                     options_.store.string(),
                                     "--host",
                                     "127.0.0.1",
                                     "--port",
                                     "0"};
    if (options_.seedDemo) {
        args.push_back("--seed-demo");
    }
    for (const auto& rule : options_.misbehave) {
        args.push_back("--misbehave");
        args.push_back(rule);
    }
    args.insert(args.end(), options_.extraArgs.begin(), options_.extraArgs.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        error_ = "cannot create a pipe";
        return;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        error_ = "cannot fork";
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    if (pid == 0) {
        // The simulator must not outlive a test that crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    pid_ = pid;
    const bool ready = readAnnouncements(out[0]);
    ::close(out[0]);
    if (!ready) {
        stop();
        return;
    }
    const auto port = announcements_.find("http-port");
    port_ = port == announcements_.end()
                ? 0
                : static_cast<std::uint16_t>(std::strtoul(port->second.c_str(), nullptr, 10));
}

SimulatorProcess::~SimulatorProcess() {
    stop();
}

bool SimulatorProcess::readAnnouncements(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStartSeconds);
    std::string pending;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) < 0) {
            continue;
        }
        if ((p.revents & (POLLIN | POLLHUP)) == 0) {
            continue;
        }
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            error_ = "the simulator ended before it was ready (see its standard error)";
            return false;
        }
        pending.append(buffer, static_cast<size_t>(n));
        size_t newline;
        while ((newline = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            const auto blank = line.find(' ');
            const std::string key = line.substr(0, blank);
            if (key == "ready") {
                return true;
            }
            announcements_[key] = blank == std::string::npos ? "" : line.substr(blank + 1);
        }
    }
    error_ = "the simulator did not report ready in time";
    return false;
}

void SimulatorProcess::stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
}

std::vector<LoggedRequest> SimulatorProcess::requests() const {
    std::vector<LoggedRequest> result;
    std::ifstream in(options_.store / "requests.log", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        size_t start = 0;
        while (true) {
            const auto tab = line.find('\t', start);
            fields.push_back(unescapeLogField(line.substr(start, tab - start)));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        if (fields.size() == 5) {
            result.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
        }
    }
    return result;
}

void SimulatorProcess::clearRequests() {
    std::error_code ec;
    std::filesystem::resize_file(options_.store / "requests.log", 0, ec);
}

bool SimulatorProcess::setMisbehaviour(const std::vector<std::string>& rules) {
    if (!running()) {
        return false;
    }
    std::string body;
    for (const auto& rule : rules) {
        body += rule + "\n";
    }
    httplib::Client client(host(), port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(5);
    const auto result = client.Post("/admin/misbehave", body, "text/plain");
    return result && result->status == 200;
}
