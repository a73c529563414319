#include "platform/tickcount.h"

#include <time.h>

namespace platform {

uint64_t tickCount() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u +
           static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace platform
