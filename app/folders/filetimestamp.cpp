#include "app/folders/filetimestamp.h"

std::u16string FormatFileTimestamp(std::time_t time) {
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr) {
        return {};
    }
    char buffer[32];
    const size_t length = std::strftime(buffer, sizeof buffer, "%Y%m%d%H%M%S", &local);
    if (length != 14) {
        return {};
    }
    return std::u16string(buffer, buffer + length);
}
