#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// The search itself, behind the exports of sedrin.so.
namespace search {

struct FoundDevice {
    std::u16string address;  // dotted IPv4
    std::u16string name;
};

// The addresses the query is sent to: VELNOR_SEARCH_TARGETS (IPv4 addresses separated by
// commas or blanks; entries that are no IPv4 address are skipped) or 127.0.0.1.
std::vector<std::string> SearchTargets();

// How long answers are awaited: VELNOR_SEARCH_WAIT_MS when it is a number from 1 to 60000,
// else 1000 ms.
std::chrono::milliseconds ConfiguredWait();

// Sends the query to every target on `port` and collects the answers until `wait` has passed,
// or earlier once every target that is not a broadcast address (last byte 255) has answered.
// One entry per answering address, in the order the answers came. Empty when the port is 0 or
// no socket could be made; never throws.
std::vector<FoundDevice> FindDevices(std::uint16_t port, std::chrono::milliseconds wait,
                                     const std::vector<std::string>& targets);

}  // namespace search
