#include "family/sedrin/searchagent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <set>

#include "family/sedrin/searchwire.h"
#include "family/sti/utf16text.h"

namespace search {
namespace {

constexpr std::size_t kMostDevices = 1024;

bool IsBroadcast(const in_addr& address) {
    return (ntohl(address.s_addr) & 0xFF) == 0xFF;
}

std::string DottedText(const in_addr& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

class Socket {
  public:
    Socket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::vector<std::string> SearchTargets() {
    const char* text = std::getenv("VELNOR_SEARCH_TARGETS");
    if (text == nullptr || *text == '\0') {
        return {"127.0.0.1"};
    }
    std::vector<std::string> targets;
    std::string current;
    const auto take = [&] {
        in_addr address{};
        if (!current.empty() && ::inet_pton(AF_INET, current.c_str(), &address) == 1) {
            targets.push_back(current);
        }
        current.clear();
    };
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == ',' || *c == ' ' || *c == '\t') {
            take();
        } else {
            current.push_back(*c);
        }
    }
    take();
    return targets;
}

std::chrono::milliseconds ConfiguredWait() {
    const char* text = std::getenv("VELNOR_SEARCH_WAIT_MS");
    if (text != nullptr) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value >= 1 && value <= 60000) {
            return std::chrono::milliseconds(value);
        }
    }
    return std::chrono::milliseconds(1000);
}

std::vector<FoundDevice> FindDevices(std::uint16_t port, std::chrono::milliseconds wait,
                                     const std::vector<std::string>& targets) {
    std::vector<FoundDevice> found;
    if (port == 0 || targets.empty()) {
        return found;
    }
    Socket socket;
    if (socket.fd() < 0) {
        return found;
    }
    const int on = 1;
    ::setsockopt(socket.fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);

    // Unicast targets still to answer; the search ends early once none is left.
    std::set<std::string> awaited;
    bool anyBroadcast = false;
    for (const std::string& target : targets) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (::inet_pton(AF_INET, target.c_str(), &to.sin_addr) != 1) {
            continue;
        }
        const ssize_t sent = ::sendto(socket.fd(), kQuery.data(), kQuery.size(), 0,
                                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (sent != static_cast<ssize_t>(kQuery.size())) {
            continue;
        }
        if (IsBroadcast(to.sin_addr)) {
            anyBroadcast = true;
        } else {
            awaited.insert(DottedText(to.sin_addr));
        }
    }
    if (awaited.empty() && !anyBroadcast) {
        return found;
    }

    std::set<std::u16string> seen;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (found.size() < kMostDevices && (anyBroadcast || !awaited.empty())) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd ready{socket.fd(), POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            break;
        }
        char datagram[kMaxDatagram];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got = ::recvfrom(socket.fd(), datagram, sizeof datagram, 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got <= 0 || fromSize != sizeof from) {
            continue;  // an error on a datagram socket (e.g. a refused port) ends nothing
        }
        const auto answer = ParseAnswer(std::string_view(datagram, static_cast<std::size_t>(got)));
        if (!answer) {
            continue;
        }
        const std::string sender = DottedText(from.sin_addr);
        awaited.erase(sender);
        in_addr stated{};
        const bool usable = ::inet_pton(AF_INET, answer->address.c_str(), &stated) == 1 &&
                            stated.s_addr != htonl(INADDR_ANY);
        FoundDevice device{sti::Utf8ToUtf16(usable ? answer->address : sender),
                           sti::Utf8ToUtf16(answer->name)};
        if (seen.insert(device.address).second) {
            found.push_back(std::move(device));
        }
    }
    return found;
}

}  // namespace search
