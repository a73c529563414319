#include "tests/fuzz/scratchfolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fuzzing {

namespace {

std::string folderPath;

void RemoveScratchFolder() {
    if (!folderPath.empty()) {
        ClearScratchFolder();
        ::rmdir(folderPath.c_str());
    }
}

}  // namespace

const std::string& ScratchFolder() {
    if (folderPath.empty()) {
        struct stat info {};
        const char* base =
            ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) &&
                    ::access("/dev/shm", W_OK) == 0
                ? "/dev/shm"
                : (std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
        std::string pattern = std::string(base) + "/velnor-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        folderPath = pattern;
        std::atexit(RemoveScratchFolder);
    }
    return folderPath;
}

void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size) ||
        std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}

void ClearScratchFolder() {
    DIR* dir = ::opendir(folderPath.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            ::unlink((folderPath + "/" + name).c_str());
        }
    }
    ::closedir(dir);
}

std::vector<std::vector<std::uint8_t>> SplitParts(const std::uint8_t* data, std::size_t size,
                                                  std::size_t maxParts) {
    std::vector<std::vector<std::uint8_t>> parts;
    std::size_t at = 0;
    while (parts.size() + 1 < maxParts && size - at >= 2) {
        const std::size_t length = data[at] | (std::size_t{data[at + 1]} << 8);
        at += 2;
        const std::size_t take = length < size - at ? length : size - at;
        parts.emplace_back(data + at, data + at + take);
        at += take;
    }
    parts.emplace_back(data + at, data + size);
    return parts;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
}

}  // namespace fuzzing
