#include "quilmar/joinedoutput.h"

#include "ostrel/filelock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quilmar {
namespace {

// Strips pass through this buffer straight from the page files: one read and one write of
// each byte, as a plain copy does.
constexpr std::size_t kBufferSize = 1 << 20;
// Strips at least this long go file to file inside the kernel.
constexpr std::uint64_t kDirectCopy = 64 * 1024;

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

JoinedOutput::~JoinedOutput() {
    discard();
}

bool JoinedOutput::create(const std::string& path) {
    try {
        buffer_.resize(kBufferSize);
        path_ = path;
    } catch (...) {
        return false;
    }
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
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
    return true;
}

bool JoinedOutput::flush() {
    if (used_ > 0 && !failed_) {
        failed_ = !writeAll(fd_, buffer_.data(), used_);
    }
    used_ = 0;
    return !failed_;
}

bool JoinedOutput::write(const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    if (used_ + size > buffer_.size() && !flush()) {
        return false;
    }
    if (size >= buffer_.size()) {
        failed_ = !writeAll(fd_, static_cast<const std::uint8_t*>(data), size);
        return !failed_;
    }
    std::memcpy(buffer_.data() + used_, data, size);
    used_ += size;
    return true;
}

bool JoinedOutput::copyFrom(int fd, std::uint64_t offset, std::uint64_t length) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    // Large strips are copied by the kernel, file to file, when it can; what it cannot copy
    // passes through the buffer.
    if (length >= kDirectCopy && useKernelCopy_) {
        if (!flush()) {
            return false;
        }
        auto from = static_cast<loff_t>(offset);
        while (length > 0) {
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
                failed_ = done < 0;
                return false;  // a read error, or the page file ended early
            }
            length -= static_cast<std::uint64_t>(done);
        }
        offset = static_cast<std::uint64_t>(from);
    }
    while (length > 0) {
        if (used_ == buffer_.size() && !flush()) {
            return false;
        }
        const std::size_t room =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer_.size() - used_));
        const ssize_t done = ::pread(fd, buffer_.data() + used_, room, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        used_ += static_cast<std::size_t>(done);
        offset += static_cast<std::uint64_t>(done);
        length -= static_cast<std::uint64_t>(done);
    }
    return true;
}

bool JoinedOutput::close() {
    if (fd_ < 0) {
        return false;
    }
    const bool flushed = flush();
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!flushed || !closed) {
        ::unlink(path_.c_str());
        return false;
    }
    return true;
}

void JoinedOutput::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(path_.c_str());
    }
}

}  // namespace quilmar
