#include <cstdint>
#include <memory>
#include <new>

#include "device/devicejob.h"
#include "device/usb/usbpath.h"
#include "family/sti/rawchannel.h"

namespace {

// Largest encoded answer accepted; a longer announced length is taken as a broken answer
// rather than allocated.
constexpr std::uint32_t kMaxResponseBytes = sti::kMaxRawFramePayload;

std::unique_ptr<char[]> Allocate(std::uint32_t size) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]);
}

}  // namespace

bool SendJob(DeviceJob& job) {
    IStiDevice* device = CurrentStiDevice();
    if (device == nullptr || !job.EncodeRequest(kJobPath)) {
        return false;
    }
    const std::uint16_t code = job.CommandCode();
    const std::uint32_t size = job.EncodedSize();
    if (size == 0) {
        return false;
    }
    std::unique_ptr<char[]> request = Allocate(size);
    if (!request || !job.CopyEncoded(request.get(), size)) {
        return false;
    }

    std::uint8_t announce[6] = {
        static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code >> 8), 0, 0, 0, 0};
    const StiResult escape =
        device->Escape(UsbCommandEscape, announce, sizeof announce, nullptr, 0, nullptr);
    StiResult written = sti::kFail;
    if (escape >= 0) {
        written = device->RawWriteCommand(request.get(), size, nullptr);
    } else if (escape == sti::kNotImplemented) {
        // The fallback block names the request by its address in this process, for a driver
        // that runs inside it.
        std::uint8_t block[12];
        sti::WriteLittleEndian32(code, block);
        sti::WriteLittleEndian32(
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(request.get())), block + 4);
        sti::WriteLittleEndian32(size, block + 8);
        written = device->RawWriteCommand(block, sizeof block, nullptr);
    } else {
        return false;
    }
    return written >= 0;
}

bool ReceiveJob(DeviceJob& job) {
    IStiDevice* device = CurrentStiDevice();
    job.Clear();
    if (device == nullptr) {
        return false;
    }
    std::uint8_t lengthBytes[4] = {};
    std::uint32_t count = sizeof lengthBytes;
    if (device->RawReadData(lengthBytes, &count, nullptr) < 0 || count != sizeof lengthBytes) {
        return false;
    }
    const std::uint32_t length = sti::ReadLittleEndian32(lengthBytes);
    if (length == 0 || length > kMaxResponseBytes) {
        return false;
    }
    std::unique_ptr<char[]> response = Allocate(length);
    if (!response) {
        return false;
    }
    count = length;
    // An answer cut short is no answer: never decode part of one.
    if (device->RawReadData(response.get(), &count, nullptr) < 0 || count != length) {
        return false;
    }
    return job.DecodeResponse(response.get(), count);
}

bool ExchangeJob(DeviceJob& job) {
    return SendJob(job) && ReceiveJob(job);
}
