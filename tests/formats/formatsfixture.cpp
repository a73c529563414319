#include "tests/formats/formatsfixture.h"

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>
#include <csignal>

namespace formatstest {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Bytes readBytes(const std::string& path) {
    const std::string text = readText(path);
    return Bytes(text.begin(), text.end());
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::u16string u16(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

int run(const std::string& command, std::string* output) {
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    if (output != nullptr) {
        *output = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

void* bind(const char* library, const char* name) {
    const std::string file = std::string(VELNOR_PROGRAM_DIR) + "/" + library;
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr ? ::dlsym(handle, name) : nullptr;
}

}  // namespace

PdfEncodeFunction pdfEncode() {
    static const auto function =
        reinterpret_cast<PdfEncodeFunction>(bind("ostrel.so", "PDF_Encode"));
    return function;
}

MultiTiffEncodeFunction multiTiffEncode() {
    static const auto function =
        reinterpret_cast<MultiTiffEncodeFunction>(bind("quilmar.so", "MultiTiffEncode"));
    return function;
}

std::vector<pagemaker::BitonalImage> decodeTiffPages(const std::string& path) {
    std::vector<pagemaker::BitonalImage> pages;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (tiff == nullptr) {
        return pages;
    }
    do {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
        pagemaker::BitonalImage page(static_cast<int>(width), static_cast<int>(height));
        Bytes row(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
        for (std::uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(tiff, row.data(), y, 0) != 1) {
                pages.push_back({});
                TIFFClose(tiff);
                return pages;
            }
            for (std::size_t i = 0; i < static_cast<std::size_t>(page.bytesPerRow()); ++i) {
                const std::uint8_t value = photometric == PHOTOMETRIC_MINISWHITE
                                               ? row[i]
                                               : static_cast<std::uint8_t>(~row[i]);
                page.bits[y * static_cast<std::size_t>(page.bytesPerRow()) + i] = value;
            }
            // Padding bits beyond the width stay 0.
            if (width % 8 != 0) {
                page.bits[(y + 1) * static_cast<std::size_t>(page.bytesPerRow()) - 1] &=
                    static_cast<std::uint8_t>(0xFF << (8 - width % 8));
            }
        }
        pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

pagemaker::BitonalImage decodeImageFile(const std::string& path) {
    return pagemaker::toBitonal(QImage(QString::fromStdString(path)));
}

Bytes layoutTiff(const Bytes& strip, pagemaker::ByteOrder order) {
    pagemaker::BitonalImage blank(16, 16);
    Bytes page = pagemaker::makeBlackWhiteTiff(blank, 200, 200, order);
    page.resize(234);
    const auto count = static_cast<std::uint32_t>(strip.size());
    for (int i = 0; i < 4; ++i) {
        const int shift = order == pagemaker::ByteOrder::BigEndian ? 24 - 8 * i : 8 * i;
        page[150 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(count >> shift);
    }
    page.insert(page.end(), strip.begin(), strip.end());
    return page;
}

int runWithFileSizeLimit(std::uint64_t limit, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::uint32_t big32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b.at(at)} << 24) | (std::uint32_t{b.at(at + 1)} << 16) |
           (std::uint32_t{b.at(at + 2)} << 8) | b.at(at + 3);
}

std::uint32_t little32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b.at(at + 3)} << 24) | (std::uint32_t{b.at(at + 2)} << 16) |
           (std::uint32_t{b.at(at + 1)} << 8) | b.at(at);
}

void FormatsTest::SetUp() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velnor-formats-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
}

void FormatsTest::TearDown() {
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

}  // namespace formatstest
