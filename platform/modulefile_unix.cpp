#include "platform/modulefile.h"

#include <unistd.h>

#include <vector>

namespace platform {

std::string moduleFilePath() {
    // readlink does not say whether it truncated; grow the buffer until the answer fits with
    // room to spare, and give up at a size no real path reaches.
    for (size_t size = 260; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
    }
    return {};
}

}  // namespace platform
