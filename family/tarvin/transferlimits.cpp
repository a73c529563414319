#include "family/tarvin/transferlimits.h"

#include <cstdlib>
#include <cstring>

namespace {

long secondsFromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0' || std::strlen(text) > 3) {
        return fallback;
    }
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return (*end == '\0' && value >= 1 && value <= 600) ? value : fallback;
}

}  // namespace

TransferLimits currentTransferLimits() {
    TransferLimits limits;
    limits.connectSeconds =
        secondsFromEnvironment("VELNOR_TRANSPORT_CONNECT_SECONDS", limits.connectSeconds);
    limits.stallSeconds =
        secondsFromEnvironment("VELNOR_TRANSPORT_STALL_SECONDS", limits.stallSeconds);
    limits.jobSeconds = secondsFromEnvironment("VELNOR_TRANSPORT_JOB_SECONDS", limits.jobSeconds);
    return limits;
}
