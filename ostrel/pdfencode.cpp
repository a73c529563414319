// PDF_Encode: the page files of one document into one PDF.
#include "ostrel/ostrel.h"
#include "ostrel/pagefile.h"
#include "ostrel/pathtext.h"
#include "ostrel/pdfwriter.h"
#include "ostrel/reducetiff.h"

#include <algorithm>
#include <new>
#include <vector>

namespace ostrel {
namespace {

constexpr std::size_t kPiece = 8192;

// Appends the bytes to the writer as one image, in pieces of at most 8 KiB.
std::int32_t embed(PdfWriter& writer, const std::uint8_t* data, std::size_t size,
                   const PageImageInfo& info, ImageCoding coding) {
    const std::int32_t begun = writer.BeginImage(info, coding);
    if (begun < 0) {
        return begun;
    }
    for (std::size_t at = 0; at < size; at += kPiece) {
        const std::int32_t written = writer.WriteImageData(data + at, std::min(kPiece, size - at));
        if (written < 0) {
            return written;
        }
    }
    return writer.EndImage();
}

// Embeds a colour page file whole, its bytes unchanged. They go from file to file without
// passing through this process where the system allows it.
std::int32_t embedColourPage(PdfWriter& writer, const std::string& path,
                             const PageImageInfo& info) {
    PageFile file;
    if (!file.open(path)) {
        return kPdfEncodeFileError;
    }
    const std::int32_t begun = writer.BeginImage(info, ImageCoding::ColourJpeg);
    if (begun < 0) {
        return begun;
    }
    const std::int32_t written = writer.WriteImageFile(file.descriptor(), 0, file.size());
    return written < 0 ? written : writer.EndImage();
}

// Reduces a black-and-white page file to its strip and embeds the strip. The reduction hands
// back the bytes it wrote, so the file is not read a second time.
std::int32_t embedBlackWhitePage(PdfWriter& writer, const std::string& path,
                                 const PageImageInfo& info) {
    std::vector<std::uint8_t> strip;
    if (ReduceTiffToStrip(path, &strip) != ReduceResult::Reduced) {
        return kPdfEncodeFileError;
    }
    return embed(writer, strip.data(), strip.size(), info, ImageCoding::Group4);
}

std::int32_t encode(const char16_t* outputPath, const PageImageInfo* pages,
                    std::uint32_t documentId, std::int32_t firstPage, std::int32_t lastPage,
                    bool monochrome, const char16_t* folderPath) {
    const auto output = formats::utf16ToPath(outputPath);
    const auto folder = formats::utf16ToPath(folderPath);
    if (!output || !folder) {
        return kPdfEncodeNoMemory;
    }
    const bool empty = firstPage > lastPage;
    if (!empty) {
        // Refused before anything is written: more pages than one image list can hold, pages
        // that cannot be read, or page numbers below the caller's array.
        const std::int64_t count = std::int64_t{lastPage} - firstPage + 1;
        if (count > kPdfEncodeMaxPages) {
            return kPdfEncodeNoMemory;
        }
        if (pages == nullptr || firstPage < 0) {
            return kPdfEncodeFileError;
        }
    }

    PdfWriter writer;
    const std::int32_t opened = writer.Open(*output);
    if (opened != kPdfEncodeOk) {
        return opened;
    }
    std::int32_t result = kPdfEncodeOk;
    for (std::int64_t page = firstPage; !empty && page <= lastPage; ++page) {
        std::string path;
        try {
            path = formats::pageFilePath(*folder, documentId, static_cast<int>(page), monochrome);
        } catch (const std::bad_alloc&) {
            result = kPdfEncodeNoMemory;
            break;
        }
        result = monochrome ? embedBlackWhitePage(writer, path, pages[page])
                            : embedColourPage(writer, path, pages[page]);
        if (result < 0) {
            break;
        }
    }
    const std::int32_t closed = writer.Close();
    return result != kPdfEncodeOk ? result : closed;
}

}  // namespace
}  // namespace ostrel

extern "C" OSTREL_EXPORT std::int32_t PDF_Encode(const char16_t* outputPath,
                                                 const PageImageInfo* pages,
                                                 std::uint32_t documentId, std::int32_t firstPage,
                                                 std::int32_t lastPage, std::int32_t monochrome,
                                                 const char16_t* folder) {
    try {
        return ostrel::encode(outputPath, pages, documentId, firstPage, lastPage, monochrome != 0,
                              folder);
    } catch (const std::bad_alloc&) {
        return kPdfEncodeNoMemory;
    } catch (...) {
        return kPdfEncodeFileError;
    }
}
