#pragma once

#include <atomic>
#include <string>

#include "family/sti/sti.h"

namespace sti {

// A device object whose raw channel is a stream connection to the device's Unix-domain socket
// (wire in rawchannel.h). Its lock is an exclusive file lock on "<socket path>.lock", so two
// device objects of one device, in this process or another, exclude each other.
class RawDevice final : public IStiDevice {
  public:
    // Connects to the socket at `socketPath`; on success *device holds a new object with one
    // reference. kNotConnected when nobody serves the socket, kInvalidArgument for a path that
    // a socket address cannot hold.
    static StiResult Open(const std::string& socketPath, IStiDevice** device);

    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    StiResult LockDevice(std::uint32_t timeoutMs) override;
    StiResult UnLockDevice() override;
    StiResult Escape(std::uint32_t function, const void* in, std::uint32_t inSize, void* out,
                     std::uint32_t outSize, std::uint32_t* outUsed) override;
    StiResult RawWriteCommand(const void* data, std::uint32_t size, void* overlapped) override;
    StiResult RawReadData(void* buffer, std::uint32_t* size, void* overlapped) override;

  private:
    RawDevice(int socket, std::string lockPath);
    ~RawDevice() override;

    StiResult sendFrame(std::uint8_t kind, const void* head, std::size_t headSize,
                        const void* payload, std::size_t payloadSize);

    std::atomic<std::uint32_t> references_{1};
    int socket_;
    std::string lockPath_;
    int lockFile_ = -1;  // open while the lock is held
};

// The raw channel's time-out in milliseconds: $VELNOR_STI_TIMEOUT_MS when it is a positive
// number, else 30000.
int RawChannelTimeoutMs();

}  // namespace sti
