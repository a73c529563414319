#pragma once
// The simulator's answer to the MFP search: a UDP socket on the search port that answers every
// search query with the device's name and address (datagrams in family/sedrin/searchwire.h).
//
// Started only when the command line has "--search-port <port>" (0: any free port, announced as
// "search-port"). It listens on the simulator's --host address (loopback by default) and
// answers only the sender of a query. "--search-name <name>" overrides the name answered
// (default: the store's device name).

#include <atomic>
#include <string>
#include <thread>

#include "tools/mfpsim/channels.h"

class DiscoveryChannel : public SimulatorChannel {
  public:
    ~DiscoveryChannel() override;

    bool start(SimulatorContext& context) override;
    void stop() override;

    // The UDP port bound by start(), 0 before.
    int port() const { return port_; }

    // Binds `host`:`port` (0 for any free port) and answers queries with `name` and `address`
    // in a thread of its own until stop(). False when the socket cannot be bound.
    bool listen(const std::string& host, int port, const std::string& name,
                const std::string& address);

  private:
    void serve();

    int socket_ = -1;
    int port_ = 0;
    std::string answer_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
