// One single-page TIFF page file, opened for the join: its size, header and directory block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quilmar {

inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kBlockSize = 226;
inline constexpr std::size_t kStripStart = kHeaderSize + kBlockSize;  // 234

// Offsets inside the directory block (file offset - 8).
inline constexpr std::size_t kBlockStripOffset = 94;
inline constexpr std::size_t kBlockStripByteCount = 142;
inline constexpr std::size_t kBlockPageNumber = 202;
inline constexpr std::size_t kBlockNextDirectory = 206;

enum class PageStatus {
    Ready,          // opened, header and block read, layout checked
    CannotOpen,     // missing or not a readable regular file
    Short,          // shorter than 234 bytes
    ReadFailed,     // the header or block could not be read
    NotPageLayout,  // the strip offset and byte count do not lie inside the file
};

class PageFile {
  public:
    PageFile() = default;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    ~PageFile();

    // Opens the file, reads its header and directory block and checks that its strip (offset at
    // 102, byte count at 150, in the file's byte order) lies wholly inside the file at or after
    // offset 234. The file stays open for reading its strip until destruction.
    PageStatus open(const std::string& path);

    bool bigEndian() const { return header[0] == 'M'; }
    std::uint64_t size() const { return size_; }
    // Bytes from offset 234 to the end: what the join copies as the strip.
    std::uint64_t stripLength() const { return size_ - kStripStart; }
    int descriptor() const { return fd_; }

    std::uint8_t header[kHeaderSize] = {};
    std::uint8_t block[kBlockSize] = {};

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

std::uint32_t readBig32(const std::uint8_t* p);
void writeBig32(std::uint8_t* p, std::uint32_t value);

}  // namespace quilmar
