#include "family/codec/kroxmlcodec.h"

#include <cstdlib>
#include <cstring>
#include <string>

#define CODEC_EXPORT __attribute__((visibility("default")))

namespace {

constexpr size_t kMaxInputBytes = 256u << 20;

int fail(int status, char** out, size_t* outLength) {
    if (out != nullptr) {
        *out = nullptr;
    }
    if (outLength != nullptr) {
        *outLength = 0;
    }
    return status;
}

// Hands the text over in a malloc'ed, null-terminated buffer.
int deliver(const std::string& text, char** out, size_t* outLength) {
    char* buffer = static_cast<char*>(std::malloc(text.size() + 1));
    if (buffer == nullptr) {
        return fail(KRO_CODEC_NO_MEMORY, out, outLength);
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    *out = buffer;
    if (outLength != nullptr) {
        *outLength = text.size();
    }
    return KRO_CODEC_OK;
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Decodes the reference between "&" and ";" (exclusive). False for an unknown one.
bool decodeReference(const std::string& name, std::string& out) {
    static const struct {
        const char* name;
        char character;
    } named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entry : named) {
        if (name == entry.name) {
            out += entry.character;
            return true;
        }
    }
    if (name.size() < 2 || name[0] != '#') {
        return false;
    }
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    unsigned long code = 0;
    for (char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return false;
    }
    appendUtf8(out, code);
    return true;
}

}  // namespace

extern "C" CODEC_EXPORT int KroXMLEncode(const char* text, size_t length, char** out,
                                         size_t* outLength) {
    if (out == nullptr || (text == nullptr && length != 0)) {
        return fail(KRO_CODEC_INVALID_ARGUMENT, out, outLength);
    }
    if (length > kMaxInputBytes) {
        return fail(KRO_CODEC_TOO_LARGE, out, outLength);
    }
    try {
        std::string encoded;
        encoded.reserve(length + length / 8);
        for (size_t i = 0; i < length; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            switch (c) {
                case '&':
                    encoded += "&amp;";
                    break;
                case '<':
                    encoded += "&lt;";
                    break;
                case '>':
                    encoded += "&gt;";
                    break;
                case '"':
                    encoded += "&quot;";
                    break;
                case '\'':
                    encoded += "&apos;";
                    break;
                default:
                    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                        encoded += "&#" + std::to_string(c) + ";";
                    } else {
                        encoded += static_cast<char>(c);
                    }
            }
        }
        return deliver(encoded, out, outLength);
    } catch (...) {
        return fail(KRO_CODEC_NO_MEMORY, out, outLength);
    }
}

extern "C" CODEC_EXPORT int KroXMLDecode(const char* text, size_t length, char** out,
                                         size_t* outLength) {
    if (out == nullptr || (text == nullptr && length != 0)) {
        return fail(KRO_CODEC_INVALID_ARGUMENT, out, outLength);
    }
    if (length > kMaxInputBytes) {
        return fail(KRO_CODEC_TOO_LARGE, out, outLength);
    }
    try {
        std::string decoded;
        decoded.reserve(length);
        for (size_t i = 0; i < length; ++i) {
            if (text[i] != '&') {
                decoded += text[i];
                continue;
            }
            // A reference is at most "&#x10FFFF;" long, or a short name.
            size_t end = i + 1;
            while (end < length && end - i <= 10 && text[end] != ';') {
                ++end;
            }
            if (end >= length || text[end] != ';' ||
                !decodeReference(std::string(text + i + 1, end - i - 1), decoded)) {
                return fail(KRO_CODEC_MALFORMED, out, outLength);
            }
            i = end;
        }
        return deliver(decoded, out, outLength);
    } catch (...) {
        return fail(KRO_CODEC_NO_MEMORY, out, outLength);
    }
}

extern "C" CODEC_EXPORT void KroCodecFree(char* buffer) {
    std::free(buffer);
}
