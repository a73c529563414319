// Writing page files and forming their names.
#include "tools/pagemaker/pagemaker.h"

#include <cstdio>

namespace pagemaker {

bool writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

std::string pageFileName(std::uint32_t documentId, int page, bool monochrome) {
    char name[40];
    std::snprintf(name, sizeof name, "%08X_%d.%s", documentId, page, monochrome ? "tif" : "jpg");
    return name;
}

}  // namespace pagemaker
