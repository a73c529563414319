// Reduction of a black-and-white page TIFF to its Group 4 strip.
//
// A page TIFF has the device's fixed layout: byte order mark at 0 ("M" big-endian, anything
// else little-endian), the strip offset as a 32-bit value at 102, the strip byte count at 150,
// and the coded data of the page in one strip, normally from 234 to the end of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

// Largest strip read into memory: no page of any resolution comes near it, and the transport
// refuses larger page files anyway.
inline constexpr std::uint64_t kMaxStripBytes = 512ull << 20;

enum class ReduceResult {
    Reduced,        // the file now holds exactly the strip's bytes
    CannotOpen,     // the file cannot be opened for reading and writing; untouched
    NotPageLayout,  // shorter than 234 bytes, or the strip does not lie wholly inside the file,
                    // or it is empty; untouched
    ReadFailed,     // the strip could not be read; untouched
    WriteFailed,    // the rewrite failed; the file's contents are undefined
    NoMemory,       // no buffer for the strip, or it is longer than kMaxStripBytes; untouched
};

// Rewrites the page file at path (8-bit text) to hold nothing but its strip's bytes. The layout
// is checked before anything changes. The file is changed for good: it is no TIFF afterwards.
// A missing file is not created. When strip is given, it receives the strip's bytes on success
// (so that the caller need not read them again). Never throws.
ReduceResult ReduceTiffToStrip(const std::string& path, std::vector<std::uint8_t>* strip = nullptr);

}  // namespace ostrel
