#include "tests/support/tempfolder.h"

#include <cstdlib>
#include <vector>

TempFolder::TempFolder(const std::string& prefix) {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) {
        base = "/tmp";
    }
    std::string pattern = (base / ("velnor-" + prefix + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) {
        path_ = buffer.data();
    }
}

TempFolder::~TempFolder() {
    const char* keep = std::getenv("VELNOR_KEEP_TEMP");
    if (!path_.empty() && !(keep && std::string(keep) == "1")) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}
