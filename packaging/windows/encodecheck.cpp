// encodecheck: calls PDF_Encode or MultiTiffEncode of a library loaded by file name, as Velnor
// does, so that the Windows and the Linux builds can be given the same page files.
//
//   encodecheck pdf LIBRARY OUT FOLDER ID FIRST LAST colour|bw WIDTH HEIGHT DPI
//   encodecheck tiff LIBRARY OUT FOLDER ID FIRST LAST
//
// ID is hexadecimal; "%uXXXX" in a path is one UTF-16 unit. Prints the export's result and exits
// with 0 when the call succeeded (PDF_Encode returns 0, MultiTiffEncode 1).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

struct PageImageInfo {
    std::int32_t xPixel, yPixel, xResolution, yResolution;
};
using PdfEncodeFunction = std::int32_t (*)(const char16_t*, const PageImageInfo*, std::uint32_t,
                                           std::int32_t, std::int32_t, std::int32_t,
                                           const char16_t*);
using MultiTiffEncodeFunction = std::uint8_t (*)(const char16_t*, std::uint32_t, std::int32_t,
                                                 std::int32_t, const char16_t*);

// The command line's paths are plain ASCII; "%uXXXX" stands for any other UTF-16 unit, so that
// both builds get exactly the same path text.
std::u16string Widen(const char* text) {
    std::u16string wide;
    for (; *text != '\0'; ++text) {
        unsigned unit = 0;
        if (text[0] == '%' && text[1] == 'u' && std::sscanf(text + 2, "%4x", &unit) == 1) {
            wide.push_back(static_cast<char16_t>(unit));
            text += 5;
        } else {
            wide.push_back(static_cast<unsigned char>(*text));
        }
    }
    return wide;
}

void* Bind(const char* library, const char* name) {
#ifdef _WIN32
    const std::u16string wide = Widen(library);
    HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    void* entry = module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
#else
    void* module = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    void* entry = module ? dlsym(module, name) : nullptr;
#endif
    if (entry == nullptr) {
        std::fprintf(stderr, "encodecheck: cannot bind %s from %s\n", name, library);
    }
    return entry;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc > 1 ? argv[1] : "";
    if (!((kind == "pdf" && argc == 12) || (kind == "tiff" && argc == 8))) {
        std::fprintf(stderr,
                     "usage: encodecheck pdf LIBRARY OUT FOLDER ID FIRST LAST colour|bw W H DPI\n"
                     "       encodecheck tiff LIBRARY OUT FOLDER ID FIRST LAST\n");
        return 2;
    }
    const std::u16string output = Widen(argv[3]);
    const std::u16string folder = Widen(argv[4]);
    const auto id = static_cast<std::uint32_t>(std::strtoul(argv[5], nullptr, 16));
    const int first = std::atoi(argv[6]);
    const int last = std::atoi(argv[7]);
    if (first < 0 || last < first) {
        std::fprintf(stderr, "encodecheck: bad page range\n");
        return 2;
    }
    if (kind == "pdf") {
        auto encode = reinterpret_cast<PdfEncodeFunction>(Bind(argv[2], "PDF_Encode"));
        if (encode == nullptr) {
            return 1;
        }
        const PageImageInfo page{std::atoi(argv[9]), std::atoi(argv[10]), std::atoi(argv[11]),
                                 std::atoi(argv[11])};
        const std::vector<PageImageInfo> pages(static_cast<std::size_t>(last) + 1, page);
        const bool monochrome = std::string(argv[8]) == "bw";
        const std::int32_t result = encode(output.c_str(), pages.data(), id, first, last,
                                           monochrome ? 1 : 0, folder.c_str());
        std::printf("PDF_Encode %d\n", result);
        return result == 0 ? 0 : 1;
    }
    auto encode = reinterpret_cast<MultiTiffEncodeFunction>(Bind(argv[2], "MultiTiffEncode"));
    if (encode == nullptr) {
        return 1;
    }
    const std::uint8_t result = encode(output.c_str(), id, first, last, folder.c_str());
    std::printf("MultiTiffEncode %u\n", result);
    return result == 1 ? 0 : 1;  // 1 is success here
}
