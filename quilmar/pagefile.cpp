#include "quilmar/pagefile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quilmar {

std::uint32_t readBig32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

void writeBig32(std::uint8_t* p, std::uint32_t value) {
    p[0] = static_cast<std::uint8_t>(value >> 24);
    p[1] = static_cast<std::uint8_t>(value >> 16);
    p[2] = static_cast<std::uint8_t>(value >> 8);
    p[3] = static_cast<std::uint8_t>(value);
}

namespace {

std::uint32_t readLittle32(const std::uint8_t* p) {
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) |
           p[0];
}

bool readAll(int fd, std::uint8_t* buffer, std::size_t size) {
    off_t offset = 0;
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

}  // namespace

PageFile::~PageFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

PageStatus PageFile::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        return PageStatus::CannotOpen;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    if (size_ < kStripStart) {
        return PageStatus::Short;
    }
    std::uint8_t head[kStripStart];
    if (!readAll(fd_, head, sizeof head)) {
        return PageStatus::ReadFailed;
    }
    std::copy(head, head + kHeaderSize, header);
    std::copy(head + kHeaderSize, head + kStripStart, block);
    const auto read32 = bigEndian() ? readBig32 : readLittle32;
    const std::uint64_t offset = read32(block + kBlockStripOffset);
    const std::uint64_t count = read32(block + kBlockStripByteCount);
    if (offset < kStripStart || offset > size_ || count > size_ - offset) {
        return PageStatus::NotPageLayout;
    }
    return PageStatus::Ready;
}

}  // namespace quilmar
