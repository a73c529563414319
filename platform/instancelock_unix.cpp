#include "platform/instancelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

std::string instanceLockPath(std::string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return std::string(runtime) + "/" + std::string(name);
    }
    return "/tmp/" + std::string(name) + "-" + std::to_string(::getuid());
}

InstanceLock::~InstanceLock() {
    release();
}

InstanceLockStatus InstanceLock::acquire(std::string_view name) {
    if (held()) {
        return InstanceLockStatus::acquired;
    }
    if (name.empty() || name.find('/') != std::string_view::npos) {
        return InstanceLockStatus::failed;
    }
    const std::string path = instanceLockPath(name);
    // Never follow a link planted under the lock's name, and only trust a file of our own.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return InstanceLockStatus::failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
        ::close(fd);
        return InstanceLockStatus::failed;
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? InstanceLockStatus::alreadyExists
                                    : InstanceLockStatus::failed;
    }
    fd_ = fd;
    return InstanceLockStatus::acquired;
}

void InstanceLock::release() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace platform
