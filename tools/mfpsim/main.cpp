// mfpsim: a device simulator that plays an MFP for Velnor's tests and demo.
//
//   mfpsim --store <folder> [--host 127.0.0.1] [--port 8080] [--seed-demo]
//          [--misbehave <rule>]... [--log <file>]
//
// It answers the job protocol of docs/protocol.md over HTTP and starts every channel registered
// in channels.h. When listening it prints "http-port <port>", then each channel's
// announcements, then "ready" on standard output. SIGTERM or SIGINT end it.

#include <pthread.h>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

#include "tools/mfpsim/channels.h"
#include "tools/mfpsim/demoseed.h"
#include "tools/mfpsim/httpserver.h"

namespace {

struct CommandLine {
    std::map<std::string, std::string> options;
    std::vector<std::string> misbehave;
    bool ok = true;
};

CommandLine parseCommandLine(int argc, char** argv) {
    static const char* const flags[] = {"seed-demo", "help"};
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() < 3) {
            std::cerr << "mfpsim: unexpected argument " << arg << "\n";
            line.ok = false;
            continue;
        }
        arg = arg.substr(2);
        std::string value = "1";
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (std::find(std::begin(flags), std::end(flags), arg) == std::end(flags)) {
            if (i + 1 >= argc) {
                std::cerr << "mfpsim: --" << arg << " needs a value\n";
                line.ok = false;
                continue;
            }
            value = argv[++i];
        }
        if (arg == "misbehave") {
            line.misbehave.push_back(value);
        }
        line.options[arg] = value;
    }
    return line;
}

std::string option(const CommandLine& line, const std::string& name, const std::string& fallback) {
    const auto it = line.options.find(name);
    return it == line.options.end() ? fallback : it->second;
}

void announce(const std::string& key, const std::string& value) {
    std::cout << key << ' ' << value << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine line = parseCommandLine(argc, argv);
    if (!line.ok || line.options.count("help") || !line.options.count("store")) {
        std::cerr << "usage: mfpsim --store <folder> [--host 127.0.0.1] [--port 8080] "
                     "[--seed-demo] [--misbehave <rule>]... [--log <file>]\n";
        return line.options.count("help") ? 0 : 2;
    }

    // Block the stop signals in every thread; the main thread waits for them below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const std::filesystem::path storeFolder = option(line, "store", "");
    std::error_code ec;
    std::filesystem::create_directories(storeFolder, ec);
    SimulatorStore store(storeFolder);
    if (line.options.count("seed-demo") && !seedDemoStore(store)) {
        std::cerr << "mfpsim: could not seed the demo store in " << storeFolder << "\n";
        return 1;
    }
    RequestLog log(option(line, "log", (storeFolder / "requests.log").string()));
    Misbehaviour misbehaviour;
    if (!misbehaviour.setRules(line.misbehave)) {
        std::cerr << "mfpsim: a --misbehave rule is not understood\n";
        return 2;
    }
    JobHandler jobs(store, log, misbehaviour);

    std::atomic<bool> stopping{false};
    const std::string host = option(line, "host", "127.0.0.1");
    int port = 0;
    try {
        port = std::stoi(option(line, "port", "8080"));
    } catch (...) {
        port = -1;
    }
    HttpServer http(jobs, stopping);
    const int boundPort = port < 0 || port > 65535 ? -1 : http.bind(host, port);
    if (boundPort <= 0) {
        std::cerr << "mfpsim: cannot listen on " << host << " port " << port << "\n";
        return 1;
    }
    std::thread httpThread([&http] { http.run(); });
    announce("http-port", std::to_string(boundPort));

    SimulatorContext context{jobs, host, boundPort, line.options, announce, stopping};
    std::vector<std::unique_ptr<SimulatorChannel>> channels;
    bool started = true;
    for (const auto& [name, factory] : registeredChannels()) {
        auto channel = factory();
        if (!channel || !channel->start(context)) {
            std::cerr << "mfpsim: the " << name << " channel did not start\n";
            started = false;
            break;
        }
        channels.push_back(std::move(channel));
    }
    if (started) {
        announce("ready", "1");
        int signal = 0;
        sigwait(&stopSignals, &signal);
    }

    stopping = true;
    for (auto it = channels.rbegin(); it != channels.rend(); ++it) {
        (*it)->stop();
    }
    http.stop();
    httpThread.join();
    return started ? 0 : 1;
}
