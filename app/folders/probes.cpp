#include "app/folders/probes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "app/folders/filetimestamp.h"
#include "platform/textconv.h"
#include "platform/tickcount.h"

namespace {

// Longer names are refused by every file system; building them is pointless.
constexpr int kMaxNameLength = 4096;
constexpr int kAttempts = 32;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates `path` as a new file (never opening one that exists), then deletes it. Sets
// `existed` when a file of that name was already there.
bool createAndDelete(const std::string& path, bool& existed) {
    existed = false;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        existed = errno == EEXIST;
        return false;
    }
    ::close(fd);
    return ::unlink(path.c_str()) == 0;
}

}  // namespace

bool CanWriteFolder(const std::u16string& path) {
    std::string folder = platform::toUtf8(path);
    if (!isFolder(folder)) {
        const size_t slash = folder.rfind('/');
        if (slash == std::string::npos) {
            return false;
        }
        folder = folder.substr(0, slash == 0 ? 1 : slash);
    }
    const std::string stamp = platform::toUtf8(FormatFileTimestamp(std::time(nullptr)));
    const std::string base = (folder.back() == '/' ? folder : folder + "/") + stamp;
    // A file of the probe's name that is already there (the user's, or another probe's within the
    // same second) is left alone; the probe takes the next free name instead.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string probe = base;
        if (attempt > 0) {
            probe += '_';
            probe += std::to_string(attempt);
        }
        probe += ".zel";
        bool existed = false;
        if (createAndDelete(probe, existed)) {
            return true;
        }
        if (!existed) {
            return false;
        }
    }
    return false;
}

bool CanCreateFileIn(const std::u16string& folder, int nameLength) {
    if (nameLength < 0 || nameLength > kMaxNameLength) {
        return false;
    }
    std::string base = platform::toUtf8(folder);
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string ticks = std::to_string(platform::tickCount());
        std::string name;
        while (name.size() < static_cast<size_t>(nameLength)) {
            name += ticks;
        }
        name.resize(static_cast<size_t>(nameLength));
        const std::string candidate = base + name;
        if (!exists(candidate)) {
            return CanWriteFile(platform::toUtf16(candidate));
        }
    }
    return false;
}

bool CanWriteFile(const std::u16string& path) {
    const std::string path8 = platform::toUtf8(path);
    if (path8.empty()) {
        return false;
    }
    struct stat info {};
    if (::stat(path8.c_str(), &info) == 0) {
        return ::access(path8.c_str(), W_OK) == 0;
    }
    bool existed = false;
    return createAndDelete(path8, existed);
}
