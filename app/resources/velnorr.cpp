#include "app/resources/velnorr.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

struct ResourceString {
    unsigned id;
    const char16_t* text;
};

// The strings this library adds to the program's own texts: the caption and the format of the
// start-up failure message, whose one "%s" is filled with the file name that failed.
constexpr ResourceString kStrings[] = {
    {20005, u"Velnor"},
    {21101, u"Unable to load the file %s. Please reinstall Velnor."},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int VelnorrLoadString(unsigned id,
                                                                        char16_t* buffer,
                                                                        int size) {
    if (buffer == nullptr || size < 1) {
        return 0;
    }
    const auto found = std::find_if(std::begin(kStrings), std::end(kStrings),
                                    [id](const ResourceString& entry) { return entry.id == id; });
    if (found == std::end(kStrings)) {
        buffer[0] = 0;
        return 0;
    }
    int length = 0;
    while (found->text[length] != 0 && length < size - 1) {
        buffer[length] = found->text[length];
        ++length;
    }
    buffer[length] = 0;
    return length;
}
