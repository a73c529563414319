// The exports of sedrin.so.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "family/sedrin/searchagent.h"
#include "family/sedrin/sedrin.h"

namespace {

// Copies `text` into `field` of `units` UTF-16 units, cut to fit (never inside a surrogate
// pair) and zero-terminated.
void CopyField(const std::u16string& text, char16_t* field, std::size_t units) {
    std::size_t length = std::min(text.size(), units - 1);
    if (length > 0 && length < text.size() && text[length - 1] >= 0xD800 &&
        text[length - 1] <= 0xDBFF) {
        --length;
    }
    std::copy_n(text.data(), length, field);
    field[length] = 0;
}

MfpAddressRecord* Search(std::uint32_t* count, std::uint32_t waitMs, std::uint32_t port) {
    if (count == nullptr) {
        return nullptr;
    }
    *count = 0;
    if (port == 0 || port > 65535) {
        return nullptr;
    }
    try {
        const auto wait = waitMs != 0 ? std::chrono::milliseconds(std::min(waitMs, 60000u))
                                      : search::ConfiguredWait();
        const std::vector<search::FoundDevice> devices =
            search::FindDevices(static_cast<std::uint16_t>(port), wait, search::SearchTargets());
        if (devices.empty()) {
            return nullptr;
        }
        auto* records =
            static_cast<MfpAddressRecord*>(std::calloc(devices.size(), sizeof(MfpAddressRecord)));
        if (records == nullptr) {
            return nullptr;
        }
        for (std::size_t i = 0; i < devices.size(); ++i) {
            CopyField(devices[i].address, records[i].address, std::size(records[i].address));
            CopyField(devices[i].name, records[i].name, std::size(records[i].name));
        }
        *count = static_cast<std::uint32_t>(devices.size());
        return records;
    } catch (...) {
        *count = 0;
        return nullptr;
    }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) MfpAddressRecord* SSAGetDetectedMFPAddrSpecifyPortW(
    void* /*window*/, std::uint32_t /*flags*/, std::uint32_t* count, std::uint32_t waitMs,
    std::uint32_t port) {
    return Search(count, waitMs, port);
}

__attribute__((visibility("default"))) MfpAddressRecord* SSAGetDetectedMFPAddrW(
    void* /*window*/, std::uint32_t /*flags*/, std::uint32_t* count, std::uint32_t waitMs) {
    return Search(count, waitMs, kDefaultSearchPort);
}

__attribute__((visibility("default"))) void SSAFreeMFPAddrW(MfpAddressRecord* records) {
    std::free(records);
}
}

static_assert(std::is_same_v<decltype(&SSAGetDetectedMFPAddrSpecifyPortW),
                             SSAGetDetectedMFPAddrSpecifyPortWFn>);
static_assert(std::is_same_v<decltype(&SSAGetDetectedMFPAddrW), SSAGetDetectedMFPAddrWFn>);
static_assert(std::is_same_v<decltype(&SSAFreeMFPAddrW), SSAFreeMFPAddrWFn>);
