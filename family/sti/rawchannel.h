#pragma once

// The wire of a still-image device's raw channel, shared by the still-image service and the
// devices that serve the channel (the simulator). One stream connection per opened device.
//
// Towards the device every call is one frame: a kind byte, a 32-bit little-endian payload
// length, then the payload.
//   kind 1, escape:  32-bit little-endian escape function, then the escape's input block;
//   kind 2, command: the raw command bytes exactly as written.
// Towards the program the device writes a plain byte stream that the program reads with
// RawReadData in whatever pieces it asks for.

#include <array>
#include <cstddef>
#include <cstdint>

namespace sti {

enum class RawFrameKind : std::uint8_t { Escape = 1, Command = 2 };

inline constexpr std::size_t kRawFrameHeaderSize = 5;

// Largest payload a frame may carry; a device drops a channel that announces more.
inline constexpr std::uint32_t kMaxRawFramePayload = 64u * 1024u * 1024u;

inline std::array<std::uint8_t, kRawFrameHeaderSize> EncodeRawFrameHeader(RawFrameKind kind,
                                                                          std::uint32_t length) {
    return {static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(length),
            static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length >> 16),
            static_cast<std::uint8_t>(length >> 24)};
}

inline std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline void WriteLittleEndian32(std::uint32_t value, std::uint8_t* bytes) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
    bytes[2] = static_cast<std::uint8_t>(value >> 16);
    bytes[3] = static_cast<std::uint8_t>(value >> 24);
}

}  // namespace sti
