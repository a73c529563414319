#include "device/pagefile.h"

#include <cstdio>

std::u16string PageFilePath(std::u16string_view folder, std::uint32_t fileId, int page,
                            std::int32_t imageFormat) {
    const char* extension = imageFormat == 0 ? "tif" : imageFormat == 1 ? "jpg" : nullptr;
    if (extension == nullptr) {
        return {};
    }
    char name[48];
    std::snprintf(name, sizeof name, "/%08X_%d.%s", static_cast<unsigned>(fileId), page, extension);
    std::u16string path(folder);
    for (const char* p = name; *p != '\0'; ++p) {
        path.push_back(static_cast<char16_t>(*p));
    }
    return path;
}
