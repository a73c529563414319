#include "ostrel/mappedfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {

MappedFile::~MappedFile() {
    if (data_ != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool MappedFile::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    struct stat info {};
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd_, &info) != 0 ||
        !S_ISREG(info.st_mode) || info.st_size <= 0) {
        return false;
    }
    size_ = static_cast<std::size_t>(info.st_size);
    void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
    if (map == MAP_FAILED) {
        size_ = 0;
        return false;
    }
    data_ = static_cast<const std::uint8_t*>(map);
    return true;
}

}  // namespace ostrel
