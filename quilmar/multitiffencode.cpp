// MultiTiffEncode: the page TIFFs of one document joined into one multi-page TIFF.
#include "ostrel/pathtext.h"
#include "quilmar/joinedoutput.h"
#include "quilmar/pagefile.h"
#include "quilmar/quilmar.h"

#include <new>

namespace quilmar {
namespace {

// Offsets in the joined file are 32-bit.
constexpr std::uint64_t kLargestOffset = 0xFFFFFFFFull;

bool join(const std::string& output, const std::string& folder, std::uint32_t documentId,
          std::int32_t firstPage, std::int32_t lastPage) {
    const bool onePage = firstPage == lastPage;
    PageFile first;
    if (first.open(formats::pageFilePath(folder, documentId, firstPage, true)) !=
            PageStatus::Ready ||
        (!onePage && !first.bigEndian())) {
        return false;
    }
    const std::uint64_t firstSize = first.size();
    if (firstSize > kLargestOffset) {
        return false;
    }
    if (!onePage) {
        first.header[0] = 'M';
        writeBig32(first.block + kBlockNextDirectory, static_cast<std::uint32_t>(firstSize));
    }

    JoinedOutput out;
    if (!out.create(output) || !out.write(first.header, kHeaderSize) ||
        !out.write(first.block, kBlockSize) ||
        !out.copyFrom(first.descriptor(), kStripStart, first.stripLength())) {
        return false;
    }

    std::uint64_t at = firstSize;  // where the next directory block lands
    for (std::int64_t page = std::int64_t{firstPage} + 1; page <= lastPage; ++page) {
        PageFile file;
        if (file.open(formats::pageFilePath(folder, documentId, static_cast<int>(page), true)) !=
                PageStatus::Ready ||
            !file.bigEndian()) {
            return false;
        }
        const std::uint64_t strip = file.stripLength();
        const std::uint64_t next = at + kBlockSize + strip;
        if (next > kLargestOffset) {
            return false;
        }
        std::uint8_t* block = file.block;
        // The strip moves from its place in the page file to the same place after this block.
        const std::uint32_t stripOffset = readBig32(block + kBlockStripOffset);
        writeBig32(block + kBlockStripOffset,
                   stripOffset + static_cast<std::uint32_t>(at - kHeaderSize));
        // The two bytes at 210 count up, low-order byte first.
        const auto number = static_cast<std::uint16_t>(
            (block[kBlockPageNumber] | (block[kBlockPageNumber + 1] << 8)) + 1);
        block[kBlockPageNumber] = static_cast<std::uint8_t>(number);
        block[kBlockPageNumber + 1] = static_cast<std::uint8_t>(number >> 8);
        if (page != lastPage) {
            writeBig32(block + kBlockNextDirectory, static_cast<std::uint32_t>(next));
        }
        if (!out.write(block, kBlockSize) || !out.copyFrom(file.descriptor(), kStripStart, strip)) {
            return false;
        }
        at = next;
    }
    return out.close();
}

}  // namespace
}  // namespace quilmar

extern "C" QUILMAR_EXPORT std::uint8_t MultiTiffEncode(const char16_t* outputPath,
                                                       std::uint32_t documentId,
                                                       std::int32_t firstPage,
                                                       std::int32_t lastPage,
                                                       const char16_t* folder) {
    try {
        const auto output = formats::utf16ToPath(outputPath);
        const auto folderPath = formats::utf16ToPath(folder);
        if (!output || !folderPath || firstPage > lastPage) {
            return 0;
        }
        return quilmar::join(*output, *folderPath, documentId, firstPage, lastPage) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
