// The search agent finds devices by their answers on the search port. Every datagram goes to
// 127.0.0.0/8: the simulator on 127.0.0.1, answerers of the test's own on 127.0.0.2 and up.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "family/sedrin/sedrin.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/tempfolder.h"
#include "tools/mfpsim/discovery.h"

namespace {

// sedrin.so from the program folder.
class SearchAgent {
  public:
    SearchAgent() {
        library_ = ::dlopen(VELNOR_PROGRAM_DIR "/sedrin.so", RTLD_NOW | RTLD_LOCAL);
        if (library_ != nullptr) {
            search_ = reinterpret_cast<SSAGetDetectedMFPAddrSpecifyPortWFn>(
                ::dlsym(library_, "SSAGetDetectedMFPAddrSpecifyPortW"));
            free_ = reinterpret_cast<SSAFreeMFPAddrWFn>(::dlsym(library_, "SSAFreeMFPAddrW"));
            withoutPort_ = ::dlsym(library_, "SSAGetDetectedMFPAddrW");
        }
    }
    ~SearchAgent() {
        if (library_ != nullptr) {
            ::dlclose(library_);
        }
    }
    bool ready() const { return search_ != nullptr && free_ != nullptr && withoutPort_ != nullptr; }

    // (address, name) of every record of one search.
    std::vector<std::pair<std::u16string, std::u16string>> find(std::uint32_t port,
                                                                std::uint32_t waitMs = 2000) {
        std::uint32_t count = 12345;
        MfpAddressRecord* records = search_(nullptr, 0, &count, waitMs, port);
        std::vector<std::pair<std::u16string, std::u16string>> found;
        EXPECT_EQ(records == nullptr, count == 0);
        for (std::uint32_t i = 0; records != nullptr && i < count; ++i) {
            found.emplace_back(records[i].address, records[i].name);
        }
        free_(records);
        return found;
    }
    SSAGetDetectedMFPAddrSpecifyPortWFn search() const { return search_; }
    void release(MfpAddressRecord* records) const { free_(records); }

  private:
    void* library_ = nullptr;
    SSAGetDetectedMFPAddrSpecifyPortWFn search_ = nullptr;
    SSAFreeMFPAddrWFn free_ = nullptr;
    void* withoutPort_ = nullptr;
};

// A UDP socket on a loopback address that answers each datagram with a fixed reply (or not).
class FixedAnswerer {
  public:
    FixedAnswerer(const char* host, std::string reply) : reply_(std::move(reply)) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, host, &local.sin_addr);
        socklen_t size = sizeof local;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
        port_ = ntohs(local.sin_port);
        timeval tick{0, 50000};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
        thread_ = std::thread([this] {
            while (!stop_) {
                char datagram[512];
                sockaddr_in from{};
                socklen_t fromSize = sizeof from;
                if (::recvfrom(fd_, datagram, sizeof datagram, 0,
                               reinterpret_cast<sockaddr*>(&from), &fromSize) > 0) {
                    ++queries_;
                    if (!reply_.empty()) {
                        ::sendto(fd_, reply_.data(), reply_.size(), 0,
                                 reinterpret_cast<sockaddr*>(&from), fromSize);
                    }
                }
            }
        });
    }
    ~FixedAnswerer() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::uint16_t port() const { return port_; }
    int queries() const { return queries_; }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::string reply_;
    std::atomic<bool> stop_{false};
    std::atomic<int> queries_{0};
    std::thread thread_;
};

class Discovery : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(agent_.ready()); }
    void TearDown() override { ::unsetenv("VELNOR_SEARCH_TARGETS"); }
    SearchAgent agent_;
};

TEST_F(Discovery, FindsTheSimulatorOnLoopbackByNameAndAddress) {
    ::unsetenv("VELNOR_SEARCH_TARGETS");  // the default target, 127.0.0.1
    TempFolder store("discovery");
    SimulatorProcess simulator(
        {.store = store.path(),
         .misbehave = {},
         .extraArgs = {"--search-port", "0", "--search-name", "Front Desk"}});
    ASSERT_TRUE(simulator.running()) << simulator.error();
    const int port = std::stoi(simulator.announcements().at("search-port"));
    ASSERT_GT(port, 0);
    const auto found = agent_.find(static_cast<std::uint32_t>(port));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, u"127.0.0.1");
    EXPECT_EQ(found[0].second, u"Front Desk");
    // The search sent queries only; the simulator logged no job.
    EXPECT_TRUE(simulator.requests().empty());
}

TEST_F(Discovery, EveryTargetIsAskedAndEachAnswerIsOneRecord) {
    DiscoveryChannel second;
    ASSERT_TRUE(second.listen("127.0.0.2", 0, "Second floor", "127.0.0.2"));
    DiscoveryChannel third;
    // An answer without an address: the address it came from is taken.
    ASSERT_TRUE(third.listen("127.0.0.3", second.port(), "Third floor", ""));
    ::setenv("VELNOR_SEARCH_TARGETS", "127.0.0.2, 127.0.0.3,not-an-address", 1);
    const auto found = agent_.find(static_cast<std::uint32_t>(second.port()));
    const std::set<std::pair<std::u16string, std::u16string>> expected = {
        {u"127.0.0.2", u"Second floor"}, {u"127.0.0.3", u"Third floor"}};
    EXPECT_EQ(std::set(found.begin(), found.end()), expected);
}

TEST_F(Discovery, RecordsHoldAddressAtByte0AndNameAtByte112CutToFit) {
    const std::string longName(100, 'N');
    DiscoveryChannel device;
    ASSERT_TRUE(device.listen("127.0.0.4", 0, longName + "\xE2\x82\xAC", "127.0.0.4"));
    ::setenv("VELNOR_SEARCH_TARGETS", "127.0.0.4", 1);
    std::uint32_t count = 0;
    MfpAddressRecord* records = agent_.search()(nullptr, 0, &count, 2000, device.port());
    ASSERT_EQ(count, 1u);
    const auto* bytes = reinterpret_cast<const unsigned char*>(records);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bytes)), u"127.0.0.4");
    const std::u16string name(reinterpret_cast<const char16_t*>(bytes + 112));
    EXPECT_EQ(name, std::u16string(81, u'N'));
    agent_.release(records);
}

TEST_F(Discovery, SilenceOrForeignAnswersFindNothingWithinTheWait) {
    FixedAnswerer silent("127.0.0.5", "");
    FixedAnswerer foreign("127.0.0.6", "HELLO\nname=x\naddress=127.0.0.6\n");
    for (const auto* answerer : {&silent, &foreign}) {
        const std::string target = answerer == &silent ? "127.0.0.5" : "127.0.0.6";
        ::setenv("VELNOR_SEARCH_TARGETS", target.c_str(), 1);
        EXPECT_TRUE(agent_.find(answerer->port(), 200).empty()) << target;
        EXPECT_EQ(answerer->queries(), 1) << target;
    }
}

TEST_F(Discovery, PortZeroOrNoCountSendsNothing) {
    FixedAnswerer listener("127.0.0.5", "");
    ::setenv("VELNOR_SEARCH_TARGETS", "127.0.0.5", 1);
    EXPECT_TRUE(agent_.find(0, 200).empty());
    EXPECT_TRUE(agent_.find(70000, 200).empty());
    EXPECT_EQ(agent_.search()(nullptr, 0, nullptr, 200, listener.port()), nullptr);
    EXPECT_EQ(listener.queries(), 0);
}

}  // namespace
