#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/textconv.h"

namespace platform {

namespace {

// A profile larger than this is not a settings file; refuse it rather than read it whole.
constexpr off_t kMaxProfileSize = 16 * 1024 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct ProfileText {
    bool exists = false;
    std::string bom;
    std::vector<std::string> lines;  // without "\n"; a "\r" before it stays part of the line
    bool endsWithNewline = true;
};

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const size_t close = line.find(']');
    return trim(close == std::string_view::npos ? line : line.substr(0, close));
}

// The key of a "key=value" line, or nothing for comments, section lines and other lines.
std::optional<std::string_view> keyOf(std::string_view line) {
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(trimmed.substr(0, equals));
}

std::string_view valueOf(std::string_view line) {
    std::string_view value = trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Reads the whole profile. A missing file gives an empty text; anything else unreadable fails.
std::optional<ProfileText> loadProfile(const std::string& path, int& error) {
    ProfileText text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        if (errno == ENOENT) {
            return text;
        }
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxProfileSize) {
        error = S_ISREG(info.st_mode) ? EFBIG : EISDIR;
        ::close(fd);
        return std::nullopt;
    }
    std::string content;
    char chunk[8192];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.append(chunk, static_cast<size_t>(got));
        if (content.size() > static_cast<size_t>(kMaxProfileSize)) {
            error = EFBIG;
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    text.exists = true;
    std::string_view rest = content;
    if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.bom = kByteOrderMark;
        rest.remove_prefix(kByteOrderMark.size());
    }
    text.endsWithNewline = rest.empty() || rest.back() == '\n';
    while (!rest.empty()) {
        const size_t newline = rest.find('\n');
        if (newline == std::string_view::npos) {
            text.lines.emplace_back(rest);
            break;
        }
        text.lines.emplace_back(rest.substr(0, newline));
        rest.remove_prefix(newline + 1);
    }
    return text;
}

// Index of the line of the first section named `section`, or nothing.
std::optional<size_t> findSection(const ProfileText& text, std::string_view section) {
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = sectionOf(text.lines[i]);
        if (name && sameName(*name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

// Index of the line of `key` in the section opened at line `sectionLine`, or nothing; `end`
// receives the index of the line after the section's last non-blank line.
std::optional<size_t> findKey(const ProfileText& text, size_t sectionLine, std::string_view key,
                              size_t& end) {
    end = sectionLine + 1;
    for (size_t i = sectionLine + 1; i < text.lines.size(); ++i) {
        if (sectionOf(text.lines[i])) {
            break;
        }
        if (!trim(text.lines[i]).empty()) {
            end = i + 1;
        }
        const auto name = keyOf(text.lines[i]);
        if (name && sameName(*name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> lookup(std::u16string_view path, std::u16string_view section,
                                  std::u16string_view key) {
    if (path.empty()) {
        return std::nullopt;
    }
    int error = 0;
    const auto text = loadProfile(toUtf8(path), error);
    if (!text) {
        return std::nullopt;
    }
    const std::string section8 = toUtf8(section);
    const std::string key8 = toUtf8(key);
    const auto sectionLine = findSection(*text, section8);
    if (!sectionLine) {
        return std::nullopt;
    }
    size_t end = 0;
    const auto keyLine = findKey(*text, *sectionLine, key8, end);
    if (!keyLine) {
        return std::nullopt;
    }
    return std::string(valueOf(text->lines[*keyLine]));
}

bool hasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// Writes `content` to a new file beside `path` and renames it over `path`.
ProfileWriteResult replaceFile(const std::string& path, const std::string& content) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // created with mode 0600
    if (fd < 0) {
        return {ProfileStatus::cannotWrite, errno};
    }
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t put = ::write(fd, content.data() + written, content.size() - written);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return {ProfileStatus::cannotWrite, error};
        }
        written += static_cast<size_t>(put);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return {ProfileStatus::cannotWrite, error};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return {ProfileStatus::cannotWrite, error};
    }
    return {};
}

}  // namespace

std::u16string readProfileString(std::u16string_view path, std::u16string_view section,
                                 std::u16string_view key, std::u16string_view fallback) {
    const auto value = lookup(path, section, key);
    return value ? toUtf16(*value) : std::u16string(fallback);
}

int32_t readProfileInt(std::u16string_view path, std::u16string_view section,
                       std::u16string_view key, int32_t fallback) {
    const auto value = lookup(path, section, key);
    if (!value || value->empty()) {
        return fallback;
    }
    std::string_view text = *value;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10u + static_cast<uint32_t>(c - '0');
    }
    if (negative) {
        number = 0u - number;
    }
    return static_cast<int32_t>(number);
}

ProfileWriteResult writeProfileString(std::u16string_view path, std::u16string_view section,
                                      std::u16string_view key, std::u16string_view value) {
    if (path.empty() || section.empty() || key.empty() || hasLineBreak(section) ||
        hasLineBreak(key) || hasLineBreak(value) ||
        section.find(u']') != std::u16string_view::npos ||
        key.find(u'=') != std::u16string_view::npos || key.front() == u'[' || key.front() == u';') {
        return {ProfileStatus::invalidArgument, 0};
    }
    const std::string path8 = toUtf8(path);
    int error = 0;
    auto text = loadProfile(path8, error);
    if (!text) {
        return {ProfileStatus::cannotRead, error};
    }
    // New lines follow the file's own line ending.
    const bool crlf =
        !text->lines.empty() && !text->lines.front().empty() && text->lines.front().back() == '\r';
    const std::string cr = crlf ? "\r" : "";
    const std::string section8 = toUtf8(section);
    const std::string entry = toUtf8(key) + "=" + toUtf8(value);

    if (const auto sectionLine = findSection(*text, section8)) {
        size_t end = 0;
        if (const auto keyLine = findKey(*text, *sectionLine, toUtf8(key), end)) {
            std::string& line = text->lines[*keyLine];
            const bool lineHasCr = !line.empty() && line.back() == '\r';
            line = entry + (lineHasCr ? "\r" : "");
        } else {
            text->lines.insert(text->lines.begin() + static_cast<std::ptrdiff_t>(end), entry + cr);
        }
    } else {
        text->lines.push_back("[" + section8 + "]" + cr);
        text->lines.push_back(entry + cr);
        text->endsWithNewline = true;
    }

    std::string content = text->bom;
    for (size_t i = 0; i < text->lines.size(); ++i) {
        content += text->lines[i];
        if (i + 1 < text->lines.size() || text->endsWithNewline) {
            content += '\n';
        }
    }
    return replaceFile(path8, content);
}

ProfileWriteResult writeProfileInt(std::u16string_view path, std::u16string_view section,
                                   std::u16string_view key, int32_t value) {
    return writeProfileString(path, section, key, toUtf16(std::to_string(value)));
}

}  // namespace platform
