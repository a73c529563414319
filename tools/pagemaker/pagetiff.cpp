// Black-and-white page TIFFs in the device's fixed layout. libtiff codes the Group 4 data (in
// memory); the file around it is laid out here, byte by byte, as the device does it.
#include "tools/pagemaker/pagemaker.h"

#include <algorithm>
#include <cstring>

#include <tiffio.h>

namespace pagemaker {
namespace {

// A growable in-memory file for libtiff.
struct MemoryFile {
    Bytes data;
    std::uint64_t position = 0;
};

tmsize_t memoryRead(thandle_t handle, void* buffer, tmsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    if (size < 0 || file->position >= file->data.size()) {
        return 0;
    }
    const auto count = std::min<std::uint64_t>(static_cast<std::uint64_t>(size),
                                               file->data.size() - file->position);
    std::memcpy(buffer, file->data.data() + file->position, count);
    file->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t memoryWrite(thandle_t handle, void* buffer, tmsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    if (size < 0) {
        return -1;
    }
    const auto end = file->position + static_cast<std::uint64_t>(size);
    if (end > file->data.size()) {
        file->data.resize(end);
    }
    std::memcpy(file->data.data() + file->position, buffer, static_cast<std::size_t>(size));
    file->position = end;
    return size;
}

toff_t memorySeek(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) {
        base = file->position;
    } else if (whence == SEEK_END) {
        base = file->data.size();
    }
    file->position = base + offset;
    return file->position;
}

int memoryClose(thandle_t) {
    return 0;
}
toff_t memorySize(thandle_t handle) {
    return static_cast<MemoryFile*>(handle)->data.size();
}
int memoryMap(thandle_t, void**, toff_t*) {
    return 0;
}
void memoryUnmap(thandle_t, void*, toff_t) {}

TIFF* openMemory(MemoryFile& file, const char* mode) {
    return TIFFClientOpen("page", mode, &file, memoryRead, memoryWrite, memorySeek, memoryClose,
                          memorySize, memoryMap, memoryUnmap);
}

// Writes 16- and 32-bit values in one byte order.
class FieldWriter {
  public:
    FieldWriter(Bytes& bytes, ByteOrder order)
        : bytes_(bytes), big_(order == ByteOrder::BigEndian) {}

    void put16(std::size_t at, std::uint32_t value) {
        const auto v = static_cast<std::uint16_t>(value);
        bytes_[at] = static_cast<std::uint8_t>(big_ ? v >> 8 : v);
        bytes_[at + 1] = static_cast<std::uint8_t>(big_ ? v : v >> 8);
    }
    void put32(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            const int shift = big_ ? 24 - 8 * i : 8 * i;
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> shift);
        }
    }
    // One 12-byte directory entry; a SHORT value sits left-justified in the value field.
    void entry(int index, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
               std::uint32_t value) {
        const std::size_t at = 10 + static_cast<std::size_t>(index) * 12;
        put16(at, tag);
        put16(at + 2, type);
        put32(at + 4, count);
        if (type == kShort && count == 1) {
            put16(at + 8, value);
            put16(at + 10, 0);
        } else {
            put32(at + 8, value);
        }
    }

    static constexpr std::uint16_t kShort = 3;
    static constexpr std::uint16_t kLong = 4;
    static constexpr std::uint16_t kRational = 5;

  private:
    Bytes& bytes_;
    bool big_;
};

constexpr std::size_t kStripOffset = 234;

}  // namespace

BitonalImage::BitonalImage(int w, int h) {
    if (w > 0 && h > 0) {
        width = w;
        height = h;
        bits.assign(static_cast<std::size_t>(bytesPerRow()) * static_cast<std::size_t>(h), 0);
    }
}

bool BitonalImage::valid() const {
    return width > 0 && height > 0 &&
           bits.size() ==
               static_cast<std::size_t>(bytesPerRow()) * static_cast<std::size_t>(height);
}

bool BitonalImage::black(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return false;
    }
    const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(bytesPerRow()) +
                    static_cast<std::size_t>(x / 8);
    return (bits[at] >> (7 - x % 8)) & 1;
}

void BitonalImage::setBlack(int x, int y, bool isBlack) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(bytesPerRow()) +
                    static_cast<std::size_t>(x / 8);
    const auto mask = static_cast<std::uint8_t>(0x80u >> (x % 8));
    bits[at] = isBlack ? static_cast<std::uint8_t>(bits[at] | mask)
                       : static_cast<std::uint8_t>(bits[at] & ~mask);
}

Bytes encodeGroup4(const BitonalImage& image) {
    if (!image.valid()) {
        return {};
    }
    MemoryFile file;
    TIFF* tiff = openMemory(file, "w");
    if (tiff == nullptr) {
        return {};
    }
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE) &&
              TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    Bytes row(static_cast<std::size_t>(image.bytesPerRow()));
    for (std::uint32_t y = 0; ok && y < height; ++y) {
        std::memcpy(row.data(), image.bits.data() + y * row.size(), row.size());
        ok = TIFFWriteScanline(tiff, row.data(), y, 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(tiff);
    TIFFClose(tiff);
    if (!ok) {
        return {};
    }

    file.position = 0;
    tiff = openMemory(file, "r");
    if (tiff == nullptr) {
        return {};
    }
    Bytes strip;
    const tmsize_t size = TIFFRawStripSize(tiff, 0);
    if (TIFFNumberOfStrips(tiff) == 1 && size > 0) {
        strip.resize(static_cast<std::size_t>(size));
        if (TIFFReadRawStrip(tiff, 0, strip.data(), size) != size) {
            strip.clear();
        }
    }
    TIFFClose(tiff);
    return strip;
}

Bytes makeBlackWhiteTiff(const BitonalImage& image, int xDpi, int yDpi, ByteOrder order) {
    if (xDpi < 1 || xDpi > 65535 || yDpi < 1 || yDpi > 65535) {
        return {};
    }
    const Bytes strip = encodeGroup4(image);
    if (strip.empty() || strip.size() > 0xFFFFFFFFu - kStripOffset) {
        return {};
    }
    Bytes bytes(kStripOffset + strip.size(), 0);
    FieldWriter out(bytes, order);
    bytes[0] = bytes[1] = order == ByteOrder::BigEndian ? 'M' : 'I';
    out.put16(2, 42);
    out.put32(4, 8);
    out.put16(8, 17);
    using F = FieldWriter;
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    out.entry(0, 254, F::kLong, 1, 0);             // NewSubfileType
    out.entry(1, 256, F::kLong, 1, width);         // ImageWidth
    out.entry(2, 257, F::kLong, 1, height);        // ImageLength
    out.entry(3, 258, F::kShort, 1, 1);            // BitsPerSample
    out.entry(4, 259, F::kShort, 1, 4);            // Compression: Group 4
    out.entry(5, 262, F::kShort, 1, 0);            // Photometric: white is zero
    out.entry(6, 266, F::kShort, 1, 2);            // FillOrder: least significant bit first
    out.entry(7, 273, F::kLong, 1, kStripOffset);  // StripOffsets, value at 102
    out.entry(8, 274, F::kShort, 1, 1);            // Orientation
    out.entry(9, 277, F::kShort, 1, 1);            // SamplesPerPixel
    out.entry(10, 278, F::kLong, 1, height);       // RowsPerStrip
    out.entry(11, 279, F::kLong, 1,                // StripByteCounts, value at 150
              static_cast<std::uint32_t>(strip.size()));
    out.entry(12, 282, F::kRational, 1, 218);  // XResolution
    out.entry(13, 283, F::kRational, 1, 226);  // YResolution
    out.entry(14, 293, F::kLong, 1, 0);        // T6Options
    out.entry(15, 296, F::kShort, 1, 2);       // ResolutionUnit: inch
    out.entry(16, 297, F::kShort, 2, 0);       // PageNumber 0 of 1, value at 210
    out.put16(210, 0);
    out.put16(212, 1);
    out.put32(214, 0);  // no next directory
    out.put32(218, static_cast<std::uint32_t>(xDpi));
    out.put32(222, 1);
    out.put32(226, static_cast<std::uint32_t>(yDpi));
    out.put32(230, 1);
    std::memcpy(bytes.data() + kStripOffset, strip.data(), strip.size());
    return bytes;
}

}  // namespace pagemaker
