#include "ostrel/pagefile.h"

#include "ostrel/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel {

PageFile::~PageFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool PageFile::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    struct stat info {};
    if (!formats::holdExclusively(fd_) || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size <= 0) {
        return false;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

}  // namespace ostrel
