// Fuzz target: MultiTiffEncode on arbitrary page files. The first input byte chooses the page
// count (1 to 4); the rest holds the page files (see SplitParts). A join that succeeds writes
// exactly the first page file and the later pages' blocks and strips; a failed join leaves no
// output behind.

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "quilmar/quilmar.h"
#include "tests/fuzz/scratchfolder.h"

namespace {

std::u16string Utf16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    fuzzing::ClearScratchFolder();
    const std::string& folder = fuzzing::ScratchFolder();
    constexpr std::uint32_t kDocumentId = 0x1A2F3;
    const int pages = data[0] % 4 + 1;
    const auto parts = fuzzing::SplitParts(data + 1, size - 1, static_cast<std::size_t>(pages));
    std::uint64_t expected = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%08X_%zu.tif", kDocumentId, i + 1);
        fuzzing::WriteWholeFile(folder + name, parts[i].data(), parts[i].size());
        expected += i == 0 ? parts[i].size() : parts[i].size() - 234 + 226;
    }
    const std::string output = folder + "/joined.tif";
    const std::uint8_t joined =
        MultiTiffEncode(Utf16(output).c_str(), kDocumentId, 1,
                        static_cast<std::int32_t>(parts.size()), Utf16(folder).c_str());
    struct stat info {};
    const bool exists = ::stat(output.c_str(), &info) == 0;
    if (joined == 1) {
        if (!exists || static_cast<std::uint64_t>(info.st_size) != expected) {
            std::abort();
        }
    } else if (joined != 0 || exists) {
        std::abort();
    }
    return 0;
}
