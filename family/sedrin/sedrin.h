#pragma once

// The MFP search agent "sedrin.so": finds devices on the network by a UDP query on the search
// port and hands their addresses and names back as fixed-size records.
//
// Where the query goes: the environment variable VELNOR_SEARCH_TARGETS, a list of IPv4
// addresses separated by commas or blanks, default "127.0.0.1". A deployment on a real network
// sets it to the devices' addresses or to its subnet's broadcast address (for example
// "192.168.1.255"; a broadcast address is sent to with SO_BROADCAST). How long answers are
// awaited: VELNOR_SEARCH_WAIT_MS, default 1000 ms (1 to 60000), unless the caller passes a wait.

#include <cstdint>

// One found device: its address and name as zero-terminated UTF-16 text, cut to fit.
struct MfpAddressRecord {
    char16_t address[56];  // byte 0: dotted IPv4 address
    char16_t name[82];     // byte 112: the device's name
};
static_assert(sizeof(MfpAddressRecord) == 276, "a search record is 276 bytes");

extern "C" {

// Asks the devices on the search port `port` (1 to 65535) and collects their answers for the
// wait (`waitMs` milliseconds, 0 for the configured wait). `window` and `flags` are unused (the
// program passes its dialog and 0). Returns an array of *count records, one per answering
// address in the order the answers came, or null with *count 0 when nobody answered, the port
// is 0 or the query could not be sent. The caller owns the array and releases it with
// SSAFreeMFPAddrW. Never throws; blocks at most the wait.
typedef MfpAddressRecord* (*SSAGetDetectedMFPAddrSpecifyPortWFn)(void* window, std::uint32_t flags,
                                                                 std::uint32_t* count,
                                                                 std::uint32_t waitMs,
                                                                 std::uint32_t port);

// As above on the default search port 61000.
typedef MfpAddressRecord* (*SSAGetDetectedMFPAddrWFn)(void* window, std::uint32_t flags,
                                                      std::uint32_t* count, std::uint32_t waitMs);

// Releases an array returned by either search; null is ignored.
typedef void (*SSAFreeMFPAddrWFn)(MfpAddressRecord* records);
}

// The default search port.
inline constexpr std::uint32_t kDefaultSearchPort = 61000;
