#include "ostrel/reducetiff.h"

#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {
namespace {

constexpr std::size_t kDirectoryEnd = 234;  // header (8) + directory block (226)
constexpr std::size_t kStripOffsetField = 102;
constexpr std::size_t kByteCountField = 150;

std::uint32_t read32(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                           (std::uint32_t{p[2]} << 8) | p[3]
                     : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) |
                           (std::uint32_t{p[1]} << 8) | p[0];
}

bool readAt(int fd, std::uint8_t* buffer, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t done = ::pread(fd, buffer, size, offset);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        buffer += done;
        size -= static_cast<std::size_t>(done);
        offset += done;
    }
    return true;
}

bool writeAt(int fd, const std::uint8_t* buffer, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, buffer, size, offset);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        buffer += done;
        size -= static_cast<std::size_t>(done);
        offset += done;
    }
    return true;
}

ReduceResult reduce(int fd, std::vector<std::uint8_t>& strip) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return ReduceResult::CannotOpen;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    if (fileSize < kDirectoryEnd) {
        return ReduceResult::NotPageLayout;
    }
    std::uint8_t directory[kDirectoryEnd];
    if (!readAt(fd, directory, sizeof directory, 0)) {
        return ReduceResult::ReadFailed;
    }
    const bool bigEndian = directory[0] == 'M';
    const std::uint64_t offset = read32(directory + kStripOffsetField, bigEndian);
    const std::uint64_t count = read32(directory + kByteCountField, bigEndian);
    if (count == 0 || offset > fileSize || count > fileSize - offset) {
        return ReduceResult::NotPageLayout;
    }
    if (count > kMaxStripBytes) {
        return ReduceResult::NoMemory;  // not a page any device sends; refused before reading it
    }
    try {
        strip.resize(count);
    } catch (...) {
        return ReduceResult::NoMemory;
    }
    if (!readAt(fd, strip.data(), strip.size(), static_cast<off_t>(offset))) {
        return ReduceResult::ReadFailed;
    }
    // Overwrite from the start, then cut the file to the strip's length. (Truncating to zero
    // first would make some file systems write the file out at close, which costs far more.)
    if (!writeAt(fd, strip.data(), strip.size(), 0) ||
        ::ftruncate(fd, static_cast<off_t>(count)) != 0) {
        return ReduceResult::WriteFailed;
    }
    return ReduceResult::Reduced;
}

}  // namespace

ReduceResult ReduceTiffToStrip(const std::string& path, std::vector<std::uint8_t>* strip) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return ReduceResult::CannotOpen;
    }
    std::vector<std::uint8_t> bytes;
    ReduceResult result = reduce(fd, bytes);
    if (::close(fd) != 0 && result == ReduceResult::Reduced) {
        result = ReduceResult::WriteFailed;
    }
    if (result == ReduceResult::Reduced && strip != nullptr) {
        *strip = std::move(bytes);
    }
    return result;
}

}  // namespace ostrel
