// The exclusive hold on a file that stands in for opening it without sharing. Header-only,
// shared by the two format libraries.
#pragma once

#include <cerrno>

#include <sys/file.h>

namespace formats {

// Takes an exclusive lock on the open file without waiting. Returns false only when another
// holder has it; a file system without locks leaves the file unlocked but usable.
inline bool holdExclusively(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) {
            return errno != EWOULDBLOCK;
        }
    }
    return true;
}

}  // namespace formats
