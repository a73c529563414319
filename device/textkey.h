#pragma once
// Text conversions the device layer needs at its edges: settings and callers hand over UTF-16
// (QString or std::u16string), the transport and the still-image service take 8-bit or
// zero-terminated UTF-16 text.

#include <QString>
#include <string>
#include <string_view>

#include "platform/textconv.h"

inline std::u16string ToU16(const QString& text) {
    return platform::fromQString(text);
}
inline std::u16string ToU16(std::u16string_view text) {
    return std::u16string(text);
}

inline std::string ToDeviceText(const QString& text) {
    return platform::toUtf8(ToU16(text));
}
inline std::string ToDeviceText(std::u16string_view text) {
    return platform::toUtf8(text);
}
