// UTF-16 path text to the 8-bit text (UTF-8) the file system takes. Header-only, shared by the
// two format libraries, which link against nothing else of the project.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace formats {

// Converts a zero-terminated UTF-16 text to UTF-8 (on Windows: to the ANSI code page). Returns
// nothing when the text is null or empty, or holds an unpaired surrogate (on Windows: a character
// the code page lacks); never throws (running out of memory gives nothing).
inline std::optional<std::string> utf16ToPath(const char16_t* text) noexcept {
    if (text == nullptr || *text == 0) {
        return std::nullopt;
    }
#ifdef _WIN32
    // Windows opens 8-bit paths in the ANSI code page: convert to it, and refuse a path with a
    // character the code page lacks rather than open a look-alike name.
    try {
        const auto* wide = reinterpret_cast<const wchar_t*>(text);
        BOOL lossy = FALSE;
        const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0,
                                             nullptr, &lossy);
        if (size <= 1 || lossy) {
            return std::nullopt;
        }
        std::string out(static_cast<std::size_t>(size), '\0');
        if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out.data(), size, nullptr,
                                &lossy) != size ||
            lossy) {
            return std::nullopt;
        }
        out.pop_back();  // the terminating zero
        return out;
    } catch (...) {
        return std::nullopt;
    }
#else
    try {
        std::string out;
        for (const char16_t* p = text; *p != 0; ++p) {
            char32_t c = *p;
            if (c >= 0xD800 && c <= 0xDBFF) {
                const char32_t low = p[1];
                if (low < 0xDC00 || low > 0xDFFF) {
                    return std::nullopt;
                }
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++p;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                return std::nullopt;
            }
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += static_cast<char>(0xE0 | (c >> 12));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (c >> 18));
                out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return out;
    } catch (...) {
        return std::nullopt;
    }
#endif
}

// The page file name of the shared convention: "<folder>/%08X_%d.jpg" or ".tif".
inline std::string pageFilePath(const std::string& folder, std::uint32_t documentId, int page,
                                bool monochrome) {
    char name[40];
    std::snprintf(name, sizeof name, "/%08X_%d.%s", static_cast<unsigned>(documentId), page,
                  monochrome ? "tif" : "jpg");
    return folder + name;
}

}  // namespace formats
