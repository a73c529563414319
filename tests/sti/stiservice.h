#pragma once
// The still-image service as the program meets it: sti.so loaded from the program folder and
// one still-image object, plus the raw job exchange of the USB path written out plainly.

#include <dlfcn.h>

#include <cstdint>
#include <string>

#include "family/sti/sti.h"

class StiService {
  public:
    StiService() {
        library_ = ::dlopen(VELNOR_PROGRAM_DIR "/sti.so", RTLD_NOW | RTLD_LOCAL);
        if (library_ != nullptr) {
            create_ = reinterpret_cast<StiCreateInstanceWFunction>(
                ::dlsym(library_, "StiCreateInstanceW"));
        }
        if (create_ != nullptr) {
            create_(nullptr, sti::kVersion, &stillImage_, nullptr);
        }
    }
    ~StiService() {
        if (stillImage_ != nullptr) {
            stillImage_->Release();
        }
        if (library_ != nullptr) {
            ::dlclose(library_);
        }
    }
    StiService(const StiService&) = delete;
    StiService& operator=(const StiService&) = delete;

    StiCreateInstanceWFunction create() const { return create_; }
    IStillImage* operator->() const { return stillImage_; }
    bool ready() const { return stillImage_ != nullptr; }

  private:
    void* library_ = nullptr;
    StiCreateInstanceWFunction create_ = nullptr;
    IStillImage* stillImage_ = nullptr;
};

// The outcome of one raw job exchange.
struct RawExchange {
    StiResult result = sti::kFail;  // first failing call, or 0
    std::uint32_t length = 0;       // the announced response length
    std::string body;               // the response bytes read
};

// Announces `code`, writes `request`, then reads the 4-byte length and that many bytes.
inline RawExchange ExchangeRaw(IStiDevice* device, std::uint16_t code, const std::string& request,
                               bool announce = true) {
    RawExchange exchange;
    if (announce) {
        const std::uint8_t block[6] = {
            static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code >> 8), 0, 0, 0, 0};
        exchange.result =
            device->Escape(sti::kCommandEscape, block, sizeof block, nullptr, 0, nullptr);
        if (exchange.result < 0) {
            return exchange;
        }
    }
    exchange.result = device->RawWriteCommand(request.data(),
                                              static_cast<std::uint32_t>(request.size()), nullptr);
    if (exchange.result < 0) {
        return exchange;
    }
    std::uint8_t prefix[4] = {};
    std::uint32_t count = sizeof prefix;
    exchange.result = device->RawReadData(prefix, &count, nullptr);
    if (exchange.result < 0) {
        return exchange;
    }
    exchange.length = prefix[0] | (prefix[1] << 8) | (prefix[2] << 16) |
                      (static_cast<std::uint32_t>(prefix[3]) << 24);
    exchange.body.resize(exchange.length);
    count = exchange.length;
    exchange.result = device->RawReadData(exchange.body.data(), &count, nullptr);
    exchange.body.resize(count);
    return exchange;
}
