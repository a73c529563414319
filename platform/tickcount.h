#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary fixed point (the system's monotonic clock); never goes back.
uint64_t tickCount();

}  // namespace platform
