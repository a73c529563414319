// Fuzz target: PDF_Encode on arbitrary page files. Input: one byte of flags (bit 0 black-and-
// white, bits 1-2 the page count less one), 16 bytes of page information, then the page files
// (see SplitParts). Whatever the pages hold, the output is either absent or a whole PDF: a
// failed page ends the file after the pages before it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"
#include "tests/fuzz/scratchfolder.h"

namespace {

std::u16string Utf16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

bool EndsWith(const std::vector<std::uint8_t>& bytes, const char* tail) {
    const std::size_t length = std::strlen(tail);
    return bytes.size() >= length &&
           std::memcmp(bytes.data() + bytes.size() - length, tail, length) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kInfoBytes = sizeof(PageImageInfo);
    if (size < 1 + kInfoBytes) {
        return 0;
    }
    fuzzing::ClearScratchFolder();
    const std::string& folder = fuzzing::ScratchFolder();
    constexpr std::uint32_t kDocumentId = 0xBEEF;
    const bool monochrome = (data[0] & 1) != 0;
    const int pages = ((data[0] >> 1) & 3) + 1;
    PageImageInfo info{};
    std::memcpy(&info, data + 1, kInfoBytes);
    const auto parts = fuzzing::SplitParts(data + 1 + kInfoBytes, size - 1 - kInfoBytes,
                                           static_cast<std::size_t>(pages));
    // Entry k describes page k; each page gets the same sizes.
    std::vector<PageImageInfo> infos(parts.size() + 1, info);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%08X_%zu.%s", kDocumentId, i + 1,
                      monochrome ? "tif" : "jpg");
        fuzzing::WriteWholeFile(folder + name, parts[i].data(), parts[i].size());
    }
    const std::string output = folder + "/document.pdf";
    const std::int32_t result = PDF_Encode(Utf16(output).c_str(), infos.data(), kDocumentId, 1,
                                           static_cast<std::int32_t>(parts.size()),
                                           monochrome ? 1 : 0, Utf16(folder).c_str());
    const std::vector<std::uint8_t> pdf = fuzzing::ReadWholeFile(output);
    if (result != kPdfEncodeOk && result != kPdfEncodeFileError && result != kPdfEncodeNoMemory &&
        result != kPdfEncodeNoResolution) {
        std::abort();
    }
    if (result == kPdfEncodeOk && pdf.empty()) {
        std::abort();
    }
    if (!pdf.empty() &&
        (std::memcmp(pdf.data(), "%PDF-1.6", 8) != 0 || !EndsWith(pdf, "%%EOF\r\n"))) {
        std::abort();
    }
    return 0;
}
