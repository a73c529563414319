#include "family/sti/rawdevice.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "family/sti/rawchannel.h"

namespace sti {

int RawChannelTimeoutMs() {
    const char* text = std::getenv("VELNOR_STI_TIMEOUT_MS");
    if (text != nullptr) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value > 0 && value <= 3600000) {
            return static_cast<int>(value);
        }
    }
    return 30000;
}

StiResult RawDevice::Open(const std::string& socketPath, IStiDevice** device) {
    *device = nullptr;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) {
        return kInvalidArgument;
    }
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return kFail;
    }
    const int timeoutMs = RawChannelTimeoutMs();
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return kNotConnected;
    }
    *device = new (std::nothrow) RawDevice(fd, socketPath + ".lock");
    if (*device == nullptr) {
        ::close(fd);
        return kOutOfMemory;
    }
    return kOk;
}

RawDevice::RawDevice(int socket, std::string lockPath)
    : socket_(socket), lockPath_(std::move(lockPath)) {}

RawDevice::~RawDevice() {
    UnLockDevice();
    ::close(socket_);
}

std::uint32_t RawDevice::AddRef() {
    return ++references_;
}

std::uint32_t RawDevice::Release() {
    const std::uint32_t left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

StiResult RawDevice::LockDevice(std::uint32_t timeoutMs) {
    if (lockFile_ >= 0) {
        return kOk;
    }
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return kFail;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return kFail;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return kLockTimeout;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    lockFile_ = fd;
    return kOk;
}

StiResult RawDevice::UnLockDevice() {
    if (lockFile_ >= 0) {
        ::close(lockFile_);  // closing gives up the lock
        lockFile_ = -1;
    }
    return kOk;
}

StiResult RawDevice::sendFrame(std::uint8_t kind, const void* head, std::size_t headSize,
                               const void* payload, std::size_t payloadSize) {
    const std::size_t length = headSize + payloadSize;
    if (length > kMaxRawFramePayload) {
        return kInvalidArgument;
    }
    std::vector<std::uint8_t> frame;
    try {
        frame.reserve(kRawFrameHeaderSize + length);
    } catch (...) {
        return kOutOfMemory;
    }
    const auto header =
        EncodeRawFrameHeader(static_cast<RawFrameKind>(kind), static_cast<std::uint32_t>(length));
    frame.insert(frame.end(), header.begin(), header.end());
    const auto* headBytes = static_cast<const std::uint8_t*>(head);
    const auto* payloadBytes = static_cast<const std::uint8_t*>(payload);
    frame.insert(frame.end(), headBytes, headBytes + headSize);
    frame.insert(frame.end(), payloadBytes, payloadBytes + payloadSize);
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(socket_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return kTimeout;
        }
        if (n <= 0) {
            return kNotConnected;
        }
        sent += static_cast<std::size_t>(n);
    }
    return kOk;
}

StiResult RawDevice::Escape(std::uint32_t function, const void* in, std::uint32_t inSize,
                            void* /*out*/, std::uint32_t /*outSize*/, std::uint32_t* outUsed) {
    if (outUsed != nullptr) {
        *outUsed = 0;
    }
    if (function != kCommandEscape) {
        return kNotImplemented;
    }
    if (in == nullptr || inSize < 2) {
        return kInvalidArgument;
    }
    std::uint8_t head[4];
    WriteLittleEndian32(function, head);
    return sendFrame(static_cast<std::uint8_t>(RawFrameKind::Escape), head, sizeof head, in,
                     inSize);
}

StiResult RawDevice::RawWriteCommand(const void* data, std::uint32_t size, void* overlapped) {
    if (overlapped != nullptr || (data == nullptr && size != 0)) {
        return kInvalidArgument;
    }
    static const std::uint8_t nothing = 0;
    return sendFrame(static_cast<std::uint8_t>(RawFrameKind::Command), nullptr, 0,
                     size == 0 ? &nothing : data, size);
}

StiResult RawDevice::RawReadData(void* buffer, std::uint32_t* size, void* overlapped) {
    if (size == nullptr || overlapped != nullptr || (buffer == nullptr && *size != 0)) {
        return kInvalidArgument;
    }
    const std::uint32_t wanted = *size;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::uint32_t got = 0;
    StiResult result = kOk;
    while (got < wanted) {
        const ssize_t n = ::recv(socket_, bytes + got, wanted - got, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0) {
            result = kEndOfData;
            break;
        }
        if (n < 0) {
            result = (errno == EAGAIN || errno == EWOULDBLOCK) ? kTimeout : kNotConnected;
            break;
        }
        got += static_cast<std::uint32_t>(n);
    }
    *size = got;
    return result;
}

}  // namespace sti
