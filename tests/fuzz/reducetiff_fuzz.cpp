// Fuzz target: ReduceTiffToStrip on an arbitrary page file. A reduced file holds exactly the
// strip its header names; a refused file is left untouched.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ostrel/reducetiff.h"
#include "tests/fuzz/scratchfolder.h"

namespace {

std::uint32_t Read32(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                           (std::uint32_t{p[2]} << 8) | p[3]
                     : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) |
                           (std::uint32_t{p[1]} << 8) | p[0];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzing::ScratchFolder() + "/0000002A_1.tif";
    fuzzing::WriteWholeFile(path, data, size);
    std::vector<std::uint8_t> strip;
    const ostrel::ReduceResult result = ostrel::ReduceTiffToStrip(path, &strip);
    const std::vector<std::uint8_t> after = fuzzing::ReadWholeFile(path);
    if (result == ostrel::ReduceResult::Reduced) {
        if (size < 234) {
            std::abort();
        }
        const bool bigEndian = data[0] == 'M';
        const std::uint64_t offset = Read32(data + 102, bigEndian);
        const std::uint64_t count = Read32(data + 150, bigEndian);
        if (count == 0 || offset + count > size || after != strip || strip.size() != count ||
            std::memcmp(strip.data(), data + offset, count) != 0) {
            std::abort();
        }
    } else if (result != ostrel::ReduceResult::WriteFailed) {
        if (after.size() != size || (size != 0 && std::memcmp(after.data(), data, size) != 0)) {
            std::abort();
        }
    }
    return 0;
}
