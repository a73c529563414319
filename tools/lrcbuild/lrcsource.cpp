#include "tools/lrcbuild/lrcsource.h"

#include <charconv>
#include <limits>

#include "platform/textconv.h"

namespace {

constexpr uint32_t kHeaderSize = 152;
constexpr uint32_t kStringSectionHeaderSize = 28;
constexpr std::size_t kMaxTextUnits = 65535 / 2 - 1;  // the text size field counts the zero

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// A decimal or 0x hexadecimal number up to `limit`.
bool parseNumber(std::string_view text, uint64_t limit, uint64_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && value <= limit;
}

std::string_view nextWord(std::string_view& rest) {
    rest = trim(rest);
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') {
        ++end;
    }
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

// The quoted text at the start of `rest` (which must be all that is left), escapes resolved.
bool parseQuoted(std::string_view rest, std::u16string& text, std::string& message) {
    rest = trim(rest);
    if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') {
        message = "the text must be written in double quotes";
        return false;
    }
    rest = rest.substr(1, rest.size() - 2);
    std::string utf8;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            message = "a double quote inside the text must be written \\\"";
            return false;
        }
        if (c != '\\') {
            utf8.push_back(c);
            continue;
        }
        if (++i >= rest.size()) {
            message = "the text ends with a lone backslash";
            return false;
        }
        switch (rest[i]) {
            case 't':
                utf8.push_back('\t');
                break;
            case 'n':
                utf8.push_back('\n');
                break;
            case 'r':
                utf8.push_back('\r');
                break;
            case '\\':
                utf8.push_back('\\');
                break;
            case '"':
                utf8.push_back('"');
                break;
            case 'u': {
                uint64_t unit = 0;
                if (i + 4 >= rest.size() ||
                    !parseNumber("0x" + std::string(rest.substr(i + 1, 4)), 0xFFFF, unit) ||
                    unit == 0) {
                    message = "\\u needs four hex digits naming a character other than 0";
                    return false;
                }
                // Flush what came before and append the unit as it is (surrogates included).
                text += platform::toUtf16(utf8);
                utf8.clear();
                text.push_back(static_cast<char16_t>(unit));
                i += 4;
                break;
            }
            default:
                message = std::string("unknown escape \\") + rest[i];
                return false;
        }
    }
    text += platform::toUtf16(utf8);
    return true;
}

bool parseAttribute(std::string_view word, LrcEntry& entry, std::string& message) {
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos) {
        message =
            "expected kind=, flags=, key= or a quoted text, found \"" + std::string(word) + "\"";
        return false;
    }
    const std::string_view name = word.substr(0, equals);
    const std::string_view value = word.substr(equals + 1);
    uint64_t number = 0;
    if (name == "kind" || name == "flags") {
        if (!parseNumber(value, 0xFFFF, number)) {
            message = std::string(name) + " must be a number from 0 to 65535";
            return false;
        }
        (name == "kind" ? entry.kind : entry.flags) = static_cast<uint16_t>(number);
        return true;
    }
    if (name == "key") {
        const std::u16string key = platform::toUtf16(value);
        if (key.size() != 1 || key[0] == 0xFFFD) {
            message = "key must be one character";
            return false;
        }
        entry.accessKey = key[0];
        return true;
    }
    message = "unknown attribute \"" + std::string(name) + "\"";
    return false;
}

void putU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

}  // namespace

LrcParseResult ParseLrcSource(std::string_view text) {
    LrcParseResult result;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t newline = text.find('\n');
        std::string_view line = trim(text.substr(0, newline));
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto fail = [&](std::string message) {
            result.line = lineNumber;
            result.message = std::move(message);
            return result;
        };
        std::string_view rest = line;
        const std::string_view first = nextWord(rest);
        if (first == "version") {
            const std::string_view value = trim(rest);
            std::size_t start = 0;
            for (int part = 0; part < 4; ++part) {
                const std::size_t dot = part < 3 ? value.find('.', start) : value.size();
                uint64_t number = 0;
                if (dot == std::string_view::npos ||
                    !parseNumber(value.substr(start, dot - start), 255, number)) {
                    return fail("version must be four numbers from 0 to 255 joined by \".\"");
                }
                result.source.version[static_cast<std::size_t>(part)] =
                    static_cast<uint8_t>(number);
                start = dot + 1;
            }
        } else if (first == "charset") {
            uint64_t number = 0;
            if (!parseNumber(trim(rest), std::numeric_limits<uint32_t>::max(), number)) {
                return fail("charset must be a font character-set number");
            }
            result.source.characterSet = static_cast<uint32_t>(number);
        } else {
            LrcEntry entry;
            uint64_t id = 0;
            if (!parseNumber(first, std::numeric_limits<uint32_t>::max(), id)) {
                return fail("expected version, charset or a text id, found \"" +
                            std::string(first) + "\"");
            }
            entry.id = static_cast<uint32_t>(id);
            std::string message;
            for (rest = trim(rest); !rest.empty() && rest.front() != '"'; rest = trim(rest)) {
                if (!parseAttribute(nextWord(rest), entry, message)) {
                    return fail(message);
                }
            }
            if (!parseQuoted(rest, entry.text, message)) {
                return fail(message);
            }
            if (entry.text.size() > kMaxTextUnits) {
                return fail("the text is longer than " + std::to_string(kMaxTextUnits) +
                            " characters");
            }
            result.source.entries.push_back(std::move(entry));
        }
    }
    result.ok = true;
    return result;
}

LrcBuildResult BuildLanguageFile(const LrcSource& source) {
    LrcBuildResult result;
    if (source.entries.empty()) {
        result.message = "a language file needs at least one text";
        return result;
    }
    std::vector<uint8_t> data;
    for (const LrcEntry& entry : source.entries) {
        if (entry.text.size() > kMaxTextUnits) {
            result.message = "text " + std::to_string(entry.id) + " is too long";
            return result;
        }
        putU32(data, entry.id);
        putU16(data, entry.kind);
        putU16(data, entry.flags);
        putU16(data, 2);  // extra bytes: the access key only
        putU16(data, static_cast<uint16_t>((entry.text.size() + 1) * 2));
        putU16(data, entry.accessKey);
        for (char16_t unit : entry.text) {
            putU16(data, unit);
        }
        putU16(data, 0);
    }
    const uint64_t sectionsSize = uint64_t{kStringSectionHeaderSize} + data.size();
    if (sectionsSize > std::numeric_limits<uint32_t>::max()) {
        result.message = "the texts do not fit a language file";
        return result;
    }

    std::vector<uint8_t>& out = result.bytes;
    out.reserve(kHeaderSize + static_cast<std::size_t>(sectionsSize));
    out.insert(out.end(), {'Q', 'L', 'T', 'N'});
    out.insert(out.end(), source.version.begin(), source.version.end());
    out.resize(136, 0);  // 128 bytes the reader does not use
    putU32(out, kHeaderSize);
    putU32(out, static_cast<uint32_t>(sectionsSize));
    putU32(out, 1);  // section mask: the string section only
    putU32(out, 0);
    // The string section.
    putU32(out, 1);
    putU32(out, kStringSectionHeaderSize);
    putU32(out, static_cast<uint32_t>(data.size()));
    putU32(out, 0);
    putU32(out, source.characterSet);
    putU32(out, 1);
    putU32(out, static_cast<uint32_t>(source.entries.size()));
    out.insert(out.end(), data.begin(), data.end());
    result.ok = true;
    return result;
}
