// quilmar: joins the single-page TIFF files of one black-and-white document into one
// multi-page TIFF, without decoding anything.
//
// The page files lie in one folder, named "<folder>/%08X_%d.tif" from the document identifier
// and the page number, in the device's fixed page layout: an 8-byte header, a 226-byte
// directory block (17 entries; strip offset at file offset 102, page number at 210, next
// directory at 214) and the Group 4 strip from offset 234 to the end of the file.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define QUILMAR_EXPORT __declspec(dllexport)
#else
#define QUILMAR_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Joins the page files firstPage..lastPage of the document into the TIFF file at outputPath,
// creating it or overwriting (truncating) it. Both paths are zero-terminated UTF-16 text and
// stay the caller's; the page files are only read.
//
// The output is the first page file's header, directory block and strip, then for every later
// page its directory block and strip, with the directories chained and each pointing at its own
// strip. One page gives a byte-for-byte copy of its file.
//
// Returns 1 only when the whole output was written and closed. Returns 0 when a path cannot be
// converted, firstPage > lastPage, a page file is missing, shorter than 234 bytes, unreadable or
// not in the page layout (a later page or a joined first page in little-endian byte order
// included), the output would pass 4 GiB, or the output cannot be created or written completely. An
// output file that the call created or truncated is removed again on failure; failures found before
// that leave an existing file untouched. Never throws.
QUILMAR_EXPORT std::uint8_t MultiTiffEncode(const char16_t* outputPath, std::uint32_t documentId,
                                            std::int32_t firstPage, std::int32_t lastPage,
                                            const char16_t* folder);

}  // extern "C"

// The function type, for binding MultiTiffEncode by name at run time.
using MultiTiffEncodeFunction = std::uint8_t (*)(const char16_t*, std::uint32_t, std::int32_t,
                                                 std::int32_t, const char16_t*);
