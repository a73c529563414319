// One call of a format library in a process of its own, so that the benchmark script can
// measure its wall time and peak memory from outside (/usr/bin/time -v).
//
//   formats_bench pdf  OUT FOLDER ID FIRST LAST colour|bw [WIDTH HEIGHT DPI]
//   formats_bench tiff OUT FOLDER ID FIRST LAST
//
// The libraries are loaded from the program folder and bound by name, as Velnor does.
#include "ostrel/ostrel.h"
#include "quilmar/quilmar.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <dlfcn.h>

namespace {

std::u16string widen(const char* text) {
    // The benchmark's paths are ASCII.
    std::u16string out;
    for (const char* p = text; *p != 0; ++p) {
        out += static_cast<char16_t>(static_cast<unsigned char>(*p));
    }
    return out;
}

void* bind(const char* library, const char* name) {
    const std::string file = std::string(VELNOR_PROGRAM_DIR) + "/" + library;
    void* handle = ::dlopen(file.c_str(), RTLD_NOW);
    void* function = handle != nullptr ? ::dlsym(handle, name) : nullptr;
    if (function == nullptr) {
        std::fprintf(stderr, "formats_bench: cannot bind %s in %s\n", name, file.c_str());
    }
    return function;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: formats_bench pdf OUT FOLDER ID FIRST LAST colour|bw [W H DPI]\n"
                     "       formats_bench tiff OUT FOLDER ID FIRST LAST\n");
        return 2;
    }
    const std::string kind = argv[1];
    const std::u16string output = widen(argv[2]);
    const std::u16string folder = widen(argv[3]);
    const auto id = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 16));
    const int first = std::atoi(argv[5]);
    const int last = std::atoi(argv[6]);
    if (kind == "pdf" && argc >= 8 && first >= 0 && last >= first) {
        const bool monochrome = std::string(argv[7]) == "bw";
        const int width = argc > 10 ? std::atoi(argv[8]) : 2480;
        const int height = argc > 10 ? std::atoi(argv[9]) : 3508;
        const int dpi = argc > 10 ? std::atoi(argv[10]) : 300;
        std::vector<PageImageInfo> pages(static_cast<std::size_t>(last) + 1,
                                         PageImageInfo{width, height, dpi, dpi});
        const auto encode = reinterpret_cast<PdfEncodeFunction>(bind("ostrel.so", "PDF_Encode"));
        if (encode == nullptr) {
            return 1;
        }
        const std::int32_t result = encode(output.c_str(), pages.data(), id, first, last,
                                           monochrome ? 1 : 0, folder.c_str());
        if (result != 0) {
            std::fprintf(stderr, "formats_bench: PDF_Encode returned %d\n", result);
            return 1;
        }
        return 0;
    }
    if (kind == "tiff") {
        const auto join =
            reinterpret_cast<MultiTiffEncodeFunction>(bind("quilmar.so", "MultiTiffEncode"));
        if (join == nullptr) {
            return 1;
        }
        if (join(output.c_str(), id, first, last, folder.c_str()) != 1) {
            std::fprintf(stderr, "formats_bench: MultiTiffEncode returned 0\n");
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "formats_bench: bad arguments\n");
    return 2;
}
