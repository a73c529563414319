#include "family/sti/deviceregistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace sti {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The section name of a "[...]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return std::nullopt;
    }
    return Trim(line.substr(1, line.size() - 2));
}

// The internal name a section stands for, or nothing when it is outside the device-class key.
std::optional<std::string_view> InternalNameOf(std::string_view section) {
    if (section.size() <= kDeviceClassKey.size() ||
        !EqualNoCase(section.substr(0, kDeviceClassKey.size()), kDeviceClassKey)) {
        return std::nullopt;
    }
    return section.substr(kDeviceClassKey.size());
}

enum class LinesStatus { Ok, Missing, Unreadable };

LinesStatus ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return errno == ENOENT ? LinesStatus::Missing : LinesStatus::Unreadable;
    }
    std::string current;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            if (buffer[i] == '\n') {
                lines.push_back(std::move(current));
                current.clear();
            } else {
                current.push_back(buffer[i]);
            }
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (!current.empty()) {
        lines.push_back(std::move(current));
    }
    return failed ? LinesStatus::Unreadable : LinesStatus::Ok;
}

// Drops the section of `internalName` (its header and every line up to the next section).
std::vector<std::string> WithoutSection(const std::vector<std::string>& lines,
                                        std::string_view internalName) {
    std::vector<std::string> kept;
    bool dropping = false;
    for (const std::string& line : lines) {
        if (const auto section = SectionName(line)) {
            const auto name = InternalNameOf(*section);
            dropping = name && EqualNoCase(*name, internalName);
        }
        if (!dropping) {
            kept.push_back(line);
        }
    }
    return kept;
}

// Writes `lines` to a file beside `path` and renames it over `path`.
bool ReplaceFile(const std::string& path, const std::vector<std::string>& lines) {
    const std::string temporary = path + ".new." + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = true;
    for (const std::string& line : lines) {
        ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
             std::fputc('\n', file) != EOF;
    }
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// Holds an exclusive lock on "<path>.lock" so that two writers do not lose each other's entry.
class WriterLock {
  public:
    explicit WriterLock(const std::string& path)
        : fd_(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);
        }
    }
    ~WriterLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

  private:
    int fd_;
};

}  // namespace

const std::string* DeviceRegistryEntry::find(std::string_view name) const {
    for (const auto& [key, text] : values) {
        if (EqualNoCase(key, name)) {
            return &text;
        }
    }
    return nullptr;
}

std::string DeviceRegistryPath(const std::string& programFolder) {
    const char* overridden = std::getenv(kRegistryVariable);
    if (overridden != nullptr && *overridden != '\0') {
        return overridden;
    }
    std::string path = programFolder;
    if (!path.empty() && path.back() != '/') {
        path.push_back('/');
    }
    path.append(kRegistryFileName);
    return path;
}

DeviceRegistryRead ReadDeviceRegistry(const std::string& path) {
    DeviceRegistryRead result;
    std::vector<std::string> lines;
    switch (ReadLines(path, lines)) {
        case LinesStatus::Missing:
            result.status = RegistryStatus::Missing;
            return result;
        case LinesStatus::Unreadable:
            result.status = RegistryStatus::Unreadable;
            return result;
        case LinesStatus::Ok:
            break;
    }
    result.status = RegistryStatus::Ok;
    DeviceRegistryEntry* current = nullptr;
    for (const std::string& raw : lines) {
        if (const auto section = SectionName(raw)) {
            current = nullptr;
            if (const auto name = InternalNameOf(*section)) {
                result.devices.push_back({std::string(*name), {}});
                current = &result.devices.back();
            }
            continue;
        }
        const std::string_view line = Trim(raw);
        const std::size_t equals = line.find('=');
        if (current == nullptr || line.empty() || line.front() == ';' || line.front() == '#' ||
            equals == std::string_view::npos) {
            continue;
        }
        current->values.emplace_back(std::string(Trim(line.substr(0, equals))),
                                     std::string(Trim(line.substr(equals + 1))));
    }
    return result;
}

bool WriteDeviceRegistryEntry(const std::string& path, const DeviceRegistryEntry& entry) {
    if (entry.internalName.empty()) {
        return false;
    }
    WriterLock lock(path);
    std::vector<std::string> lines;
    if (ReadLines(path, lines) == LinesStatus::Unreadable) {
        return false;
    }
    lines = WithoutSection(lines, entry.internalName);
    lines.push_back("[" + std::string(kDeviceClassKey) + entry.internalName + "]");
    for (const auto& [name, text] : entry.values) {
        lines.push_back(name + "=" + text);
    }
    return ReplaceFile(path, lines);
}

bool RemoveDeviceRegistryEntry(const std::string& path, std::string_view internalName) {
    WriterLock lock(path);
    std::vector<std::string> lines;
    switch (ReadLines(path, lines)) {
        case LinesStatus::Missing:
            return true;
        case LinesStatus::Unreadable:
            return false;
        case LinesStatus::Ok:
            break;
    }
    const std::vector<std::string> kept = WithoutSection(lines, internalName);
    return kept.size() == lines.size() || ReplaceFile(path, kept);
}

}  // namespace sti
