#pragma once
// How the simulator's channels plug into its main. The HTTP server is the simulator's own; the
// other channels (discovery on the search port, the USB raw channel) live in files of their own
// in this folder and register themselves with a static ChannelRegistration:
//
//   namespace { ChannelRegistration discovery("discovery", [] {
//       return std::unique_ptr<SimulatorChannel>(new DiscoveryChannel); }); }
//
// main starts every registered channel after the HTTP server is listening, in name order, and
// stops them in reverse order when the simulator ends.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/mfpsim/jobhandler.h"

struct SimulatorContext {
    JobHandler& jobs;
    std::string bindAddress;  // "127.0.0.1" unless told otherwise
    int httpPort = 0;         // the port the HTTP server bound
    // Every "--name value" (or "--name=value") of the command line; flags without a value
    // hold "1". A repeated option keeps its last value.
    std::map<std::string, std::string> options;
    // Prints "key value" on standard output before the simulator reports "ready", so that
    // tests learn e.g. the port a channel bound.
    std::function<void(const std::string& key, const std::string& value)> announce;
    const std::atomic<bool>& stopping;
};

class SimulatorChannel {
  public:
    virtual ~SimulatorChannel() = default;
    // Starts serving in threads of the channel's own. False stops the simulator with an error.
    virtual bool start(SimulatorContext& context) = 0;
    // Stops serving and joins the channel's threads. Called once, after a successful start.
    virtual void stop() = 0;
};

using ChannelFactory = std::function<std::unique_ptr<SimulatorChannel>()>;

struct ChannelRegistration {
    ChannelRegistration(const std::string& name, ChannelFactory factory);
};

// The registered channels by name.
std::map<std::string, ChannelFactory>& registeredChannels();
