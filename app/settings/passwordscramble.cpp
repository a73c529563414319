#include "app/settings/passwordscramble.h"

#include <cstdint>

namespace {

constexpr uint32_t kPasswordKey = 0xA5C3;
// Every number of up to nine digits lies below 2^30, and so does its mixed form (ten digits at
// most).
constexpr uint64_t kLimit = uint64_t{1} << 30;

std::optional<uint32_t> decimal(const std::u16string& text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint64_t>(c - u'0');
    }
    if (value >= kLimit) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::u16string decimalText(uint32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// Swap the two low bytes, then XOR with the key; unmix undoes it. Values below 2^30 stay there.
uint32_t mix(uint32_t value) {
    const uint32_t swapped =
        (value & 0xFFFF0000u) | ((value & 0xFFu) << 8) | ((value >> 8) & 0xFFu);
    return swapped ^ kPasswordKey;
}

uint32_t unmix(uint32_t value) {
    const uint32_t swapped = value ^ kPasswordKey;
    return (swapped & 0xFFFF0000u) | ((swapped & 0xFFu) << 8) | ((swapped >> 8) & 0xFFu);
}

}  // namespace

std::optional<std::u16string> ScramblePassword(const std::u16string& plain) {
    const auto value = decimal(plain, 9);
    if (!value) {
        return std::nullopt;
    }
    return decimalText(mix(*value));
}

std::optional<std::u16string> UnscramblePassword(const std::u16string& stored) {
    const auto value = decimal(stored, 10);
    if (!value) {
        return std::nullopt;
    }
    return decimalText(unmix(*value));
}
