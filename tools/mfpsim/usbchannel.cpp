#include "tools/mfpsim/usbchannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <vector>

#include "family/sti/deviceregistry.h"
#include "family/sti/rawchannel.h"
#include "family/sti/sti.h"

namespace {

ChannelRegistration registration("usb",
                                 [] { return std::unique_ptr<SimulatorChannel>(new UsbChannel); });

constexpr const char* kDefaultInternalName = "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000";
constexpr const char* kDefaultMatchingId = "usb\\vid_0f1d&pid_2101";

// The command code each job is announced with.
const std::map<std::string, std::uint16_t>& CommandCodes() {
    static const std::map<std::string, std::uint16_t> codes = {{"LIST", 0x60},
                                                               {"GETDATA", 0x62},
                                                               {"DELETE", 0x64},
                                                               {"GETIMAGEINFO", 0x65},
                                                               {"GETFILE", 0x68}};
    return codes;
}

std::string Option(const SimulatorContext& context, const std::string& name,
                   const std::string& fallback) {
    const auto it = context.options.find(name);
    return it == context.options.end() ? fallback : it->second;
}

std::string ProgramFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

// Reads exactly `size` bytes, giving up when the peer closes, an error occurs or `stop` is set.
bool ReadExact(int fd, void* buffer, size_t size, const std::atomic<bool>& stop) {
    auto* bytes = static_cast<char*>(buffer);
    size_t got = 0;
    while (got < size) {
        if (stop) {
            return false;
        }
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, 100);
        if (polled == 0 || (polled < 0 && errno == EINTR)) {
            continue;
        }
        if (polled < 0) {
            return false;
        }
        const ssize_t n = ::recv(fd, bytes + got, size - got, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const void* buffer, size_t size) {
    const auto* bytes = static_cast<const char*>(buffer);
    size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fd, bytes + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string LengthPrefix(size_t size) {
    std::uint8_t bytes[4];
    sti::WriteLittleEndian32(static_cast<std::uint32_t>(size), bytes);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The COMMAND text of a job document, empty when it is none.
std::string CommandOf(const std::string& body) {
    pugi::xml_document document;
    if (!document.load_buffer(body.data(), body.size())) {
        return {};
    }
    return document.document_element().child("COMMAND").text().get();
}

}  // namespace

UsbChannel::~UsbChannel() {
    stop();
}

bool UsbChannel::start(SimulatorContext& context) {
    socketPath_ = Option(context, "usb-socket", "");
    if (socketPath_.empty()) {
        return true;  // the USB channel was not asked for
    }
    jobs_ = &context.jobs;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.size() >= sizeof address.sun_path) {
        std::cerr << "mfpsim: --usb-socket path is too long\n";
        return false;
    }
    std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());
    ::unlink(socketPath_.c_str());  // a socket left by an earlier run
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0) {
        std::cerr << "mfpsim: cannot serve the USB channel on " << socketPath_ << "\n";
        stop();
        return false;
    }

    internalName_ = Option(context, "usb-name", kDefaultInternalName);
    registryPath_ = Option(context, "usb-registry", sti::DeviceRegistryPath(ProgramFolder()));
    sti::DeviceRegistryEntry entry;
    entry.internalName = internalName_;
    entry.values = {{"DeviceDescription", Option(context, "usb-description",
                                                 context.jobs.store().deviceName() + " (USB)")},
                    {"MatchingDeviceId", Option(context, "usb-matching-id", kDefaultMatchingId)},
                    {"RawChannel", socketPath_}};
    if (!sti::WriteDeviceRegistryEntry(registryPath_, entry)) {
        std::cerr << "mfpsim: cannot write the device registry " << registryPath_ << "\n";
        registryPath_.clear();
        stop();
        return false;
    }
    stop_ = false;
    acceptThread_ = std::thread([this] { acceptConnections(); });
    context.announce("usb-socket", socketPath_);
    context.announce("usb-name", internalName_);
    return true;
}

void UsbChannel::acceptConnections() {
    while (!stop_) {
        pollfd ready{listener_, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) {
            continue;
        }
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            continue;
        }
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            if (*it->finished) {
                it->thread.join();
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
        auto finished = std::make_shared<std::atomic<bool>>(false);
        connections_.push_back({std::thread([this, connection, finished] {
                                    serveConnection(connection);
                                    *finished = true;
                                }),
                                finished});
    }
}

void UsbChannel::serveConnection(int connection) {
    PageTransfer transfer;
    bool announced = false;
    std::uint16_t announcedCode = 0;
    for (;;) {
        std::uint8_t header[sti::kRawFrameHeaderSize];
        if (!ReadExact(connection, header, sizeof header, stop_)) {
            break;
        }
        const std::uint32_t length = sti::ReadLittleEndian32(header + 1);
        if (length > sti::kMaxRawFramePayload) {
            break;
        }
        std::string payload(length, '\0');
        if (!ReadExact(connection, payload.data(), length, stop_)) {
            break;
        }
        if (header[0] == static_cast<std::uint8_t>(sti::RawFrameKind::Escape)) {
            // Function, then the block: 16-bit code and four zero bytes.
            if (length < 6 || sti::ReadLittleEndian32(reinterpret_cast<const std::uint8_t*>(
                                  payload.data())) != sti::kCommandEscape) {
                break;
            }
            announced = true;
            announcedCode =
                static_cast<std::uint16_t>(static_cast<std::uint8_t>(payload[4]) |
                                           (static_cast<std::uint8_t>(payload[5]) << 8));
            continue;
        }
        if (header[0] != static_cast<std::uint8_t>(sti::RawFrameKind::Command)) {
            break;
        }

        char codeText[8];
        std::snprintf(codeText, sizeof codeText, "0x%02X", announcedCode);
        const RequestOrigin origin{"usb", "RAW", announced ? codeText : "none"};
        const std::string command = CommandOf(payload);
        const auto code = CommandCodes().find(command);
        const bool fits =
            announced && code != CommandCodes().end() && code->second == announcedCode;
        announced = false;

        JobReply reply;
        if (!command.empty() && !fits) {
            reply.body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOB><CODE>801</CODE></JOB>";
        } else {
            reply = jobs_->handleJob(origin, payload, &transfer);
        }
        if (reply.misbehaviour == MisbehaviourKind::Stall) {
            const auto until =
                std::chrono::steady_clock::now() + std::chrono::seconds(reply.stallSeconds);
            while (!stop_ && std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            break;
        }
        if (reply.httpStatus != 200) {
            reply.body.clear();
            reply.chunk.clear();
        }
        std::string answer = LengthPrefix(reply.body.size()) + reply.body;
        if (reply.misbehaviour == MisbehaviourKind::Drop) {
            if (reply.chunk.empty()) {
                answer.resize(4 + reply.body.size() / 2);
            } else {
                answer += reply.chunk.substr(0, reply.chunk.size() / 2);
            }
            WriteAll(connection, answer.data(), answer.size());
            break;
        }
        answer += reply.chunk;
        if (!WriteAll(connection, answer.data(), answer.size())) {
            break;
        }
    }
    ::close(connection);
}

void UsbChannel::stop() {
    stop_ = true;
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    {
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        for (Connection& connection : connections_) {
            connection.thread.join();
        }
        connections_.clear();
    }
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
        ::unlink(socketPath_.c_str());
        ::unlink((socketPath_ + ".lock").c_str());  // the device objects' lock file
    }
    if (!registryPath_.empty()) {
        sti::RemoveDeviceRegistryEntry(registryPath_, internalName_);
        registryPath_.clear();
    }
}
