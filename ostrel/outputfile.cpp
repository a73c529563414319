#include "ostrel/outputfile.h"

#include "ostrel/filelock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {
namespace {

// Large enough that the 8 KiB data pieces and the small object texts reach the disk in few
// system calls, small enough to keep the memory of a call flat.
constexpr std::size_t kBufferSize = 128 * 1024;
constexpr std::size_t kPiece = 8192;

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

}  // namespace

OutputFile::~OutputFile() {
    if (fd_ >= 0) {
        close();
    }
}

bool OutputFile::create(const std::string& path) {
    // The buffer comes first: running out of memory (which throws) then creates nothing.
    buffer_.resize(kBufferSize);
    path_ = path;
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    // Lock first, then truncate, so that a file another writer holds is left as it is.
    // An empty file is not truncated: some file systems write a file out at close once it
    // was truncated to nothing.
    struct stat info {};
    if (!formats::holdExclusively(fd) || ::fstat(fd, &info) != 0 ||
        (info.st_size != 0 && ::ftruncate(fd, 0) != 0)) {
        ::close(fd);
        if (!existed) {
            ::unlink(path.c_str());
        }
        return false;
    }
    fd_ = fd;
    failed_ = false;
    used_ = 0;
    return true;
}

bool OutputFile::write(const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (used_ + size <= buffer_.size()) {
        std::memcpy(buffer_.data() + used_, bytes, size);
        used_ += size;
        return true;
    }
    if (!flush()) {
        return false;
    }
    if (size >= buffer_.size()) {
        failed_ = !writeAll(fd_, bytes, size);
        return !failed_;
    }
    std::memcpy(buffer_.data(), bytes, size);
    used_ = size;
    return true;
}

bool OutputFile::copyFrom(int fd, std::uint64_t offset, std::uint64_t length) {
    if (fd_ < 0 || failed_ || !flush()) {
        return false;
    }
    auto from = static_cast<loff_t>(offset);
    while (length > 0 && useKernelCopy_) {
        const ssize_t done =
            ::copy_file_range(fd, &from, fd_, nullptr, static_cast<std::size_t>(length), 0);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                         errno == EOPNOTSUPP || errno == EBADF)) {
            useKernelCopy_ = false;
            break;
        }
        if (done <= 0) {
            failed_ = done < 0;  // the output may hold part of the copy
            return false;        // a read error, or the file ended early
        }
        length -= static_cast<std::uint64_t>(done);
    }
    // What the kernel cannot copy goes through the buffer in pieces.
    std::uint8_t piece[kPiece];
    while (length > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(length, kPiece));
        const ssize_t done = ::pread(fd, piece, want, from);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0 || !write(piece, static_cast<std::size_t>(done))) {
            return false;
        }
        from += done;
        length -= static_cast<std::uint64_t>(done);
    }
    return true;
}

bool OutputFile::flush() {
    if (used_ > 0) {
        failed_ = failed_ || !writeAll(fd_, buffer_.data(), used_);
        used_ = 0;
    }
    return !failed_;
}

bool OutputFile::close() {
    if (fd_ < 0) {
        return false;
    }
    const bool flushed = flush();
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    std::vector<std::uint8_t>().swap(buffer_);
    return flushed && closed;
}

void OutputFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(path_.c_str());
    }
    std::vector<std::uint8_t>().swap(buffer_);
}

}  // namespace ostrel
