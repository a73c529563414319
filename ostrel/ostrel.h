// ostrel: writes one PDF 1.6 file whose pages are the page images of one scanned document.
//
// The page files lie in one folder, named "<folder>/%08X_%d.jpg" (colour) or
// "<folder>/%08X_%d.tif" (black-and-white) from the document identifier and the page number,
// the first page being 1. Colour JPEG files are embedded whole as DCT-coded images; the Group 4
// strip of each black-and-white page TIFF is embedded as a CCITT-coded image. Nothing is decoded.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define OSTREL_EXPORT __declspec(dllexport)
#else
#define OSTREL_EXPORT __attribute__((visibility("default")))
#endif

// Size and resolution of one page, as the device reports them (16 bytes).
struct PageImageInfo {
    std::int32_t xPixel;       // image width in pixels
    std::int32_t yPixel;       // image height in pixels
    std::int32_t xResolution;  // horizontal resolution in dots per inch (low 16 bits used)
    std::int32_t yResolution;  // vertical resolution in dots per inch (low 16 bits used)
};
static_assert(sizeof(PageImageInfo) == 16, "PageImageInfo is four 32-bit integers");

// Results of PDF_Encode.
enum : std::int32_t {
    kPdfEncodeOk = 0,
    kPdfEncodeFileError = -1,      // a file cannot be created, opened, mapped, read or written,
                                   // or a page TIFF cannot be reduced to its strip
    kPdfEncodeNoMemory = -2,       // a path cannot be converted to 8-bit text, memory runs out,
                                   // or the page range is larger than one PDF can hold
    kPdfEncodeNoResolution = -16,  // a page's horizontal or vertical resolution is 0
};

// The most pages one call can embed.
inline constexpr std::int32_t kPdfEncodeMaxPages = 65500;

extern "C" {

// Writes the pages firstPage..lastPage of the document into the PDF file at outputPath,
// creating it or overwriting it. pages is indexed by page number (entry k describes page k; the
// caller owns it and it must hold at least lastPage + 1 entries; entries below firstPage are not
// read). monochrome = 0 takes ".jpg" page files, any other value ".tif" page files. Both paths
// are zero-terminated UTF-16 and stay the caller's.
//
// Returns 0 when the whole PDF was written; firstPage > lastPage writes a valid PDF without
// pages. On failure returns -1, -2 or -16 (see above). Nothing is created when a path cannot be
// converted, the range holds more than kPdfEncodeMaxPages pages, pages is null for a non-empty
// range, firstPage is negative, or the output cannot be created. After a failed page the file is
// a complete PDF of the pages embedded before it; it is never deleted once its header was written.
// Every black-and-white page file processed is left holding its raw strip data, no longer a TIFF.
// Never throws.
OSTREL_EXPORT std::int32_t PDF_Encode(const char16_t* outputPath, const PageImageInfo* pages,
                                      std::uint32_t documentId, std::int32_t firstPage,
                                      std::int32_t lastPage, std::int32_t monochrome,
                                      const char16_t* folder);

}  // extern "C"

// The function type, for binding PDF_Encode by name at run time.
using PdfEncodeFunction = std::int32_t (*)(const char16_t*, const PageImageInfo*, std::uint32_t,
                                           std::int32_t, std::int32_t, std::int32_t,
                                           const char16_t*);
