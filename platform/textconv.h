#pragma once

#include <QString>

#include <string>
#include <string_view>

// Text conversions between the program's three text forms: UTF-16 (std::u16string, the form
// inside the program and at library boundaries), UTF-8 (std::string, the "ANSI code page" of
// files, the device and the operating system) and QString (the user interface).
namespace platform {

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD; never fails.
std::string toUtf8(std::u16string_view text);

// UTF-8 to UTF-16. Each malformed or overlong byte sequence becomes U+FFFD; never fails.
std::u16string toUtf16(std::string_view text);

// UTF-16 to and from QString (both hold UTF-16; this is a copy).
inline QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}
inline std::u16string fromQString(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

}  // namespace platform
