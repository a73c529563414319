#include "tools/mfpsim/discovery.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iostream>

#include "family/sedrin/searchwire.h"

namespace {

ChannelRegistration registration("discovery", [] {
    return std::unique_ptr<SimulatorChannel>(new DiscoveryChannel);
});

}  // namespace

DiscoveryChannel::~DiscoveryChannel() {
    stop();
}

bool DiscoveryChannel::start(SimulatorContext& context) {
    const auto portOption = context.options.find("search-port");
    if (portOption == context.options.end()) {
        return true;  // discovery was not asked for
    }
    int port = -1;
    try {
        port = std::stoi(portOption->second);
    } catch (...) {
    }
    if (port < 0 || port > 65535) {
        std::cerr << "mfpsim: --search-port " << portOption->second << " is no port\n";
        return false;
    }
    const auto nameOption = context.options.find("search-name");
    const std::string name = nameOption != context.options.end()
                                 ? nameOption->second
                                 : context.jobs.store().deviceName();
    // A wildcard address tells the searcher nothing: it then takes the address we answer from.
    const std::string address = context.bindAddress == "0.0.0.0" ? "" : context.bindAddress;
    if (!listen(context.bindAddress, port, name, address)) {
        std::cerr << "mfpsim: cannot listen for searches on " << context.bindAddress << " port "
                  << port << "\n";
        return false;
    }
    context.announce("search-port", std::to_string(port_));
    return true;
}

bool DiscoveryChannel::listen(const std::string& host, int port, const std::string& name,
                              const std::string& address) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &local.sin_addr) != 1) {
        return false;
    }
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) {
        return false;
    }
    socklen_t size = sizeof local;
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        ::close(socket_);
        socket_ = -1;
        return false;
    }
    port_ = ntohs(local.sin_port);
    answer_ = search::FormatAnswer({name, address});
    stop_ = false;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void DiscoveryChannel::serve() {
    while (!stop_) {
        pollfd ready{socket_, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) {
            continue;
        }
        char datagram[search::kMaxDatagram];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got = ::recvfrom(socket_, datagram, sizeof datagram, 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got <= 0 || fromSize != sizeof from ||
            std::string_view(datagram, static_cast<size_t>(got)) != search::kQuery) {
            continue;
        }
        ::sendto(socket_, answer_.data(), answer_.size(), 0, reinterpret_cast<sockaddr*>(&from),
                 fromSize);
    }
}

void DiscoveryChannel::stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
}
