// A page file opened for embedding: held exclusively while open, its size known.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel {

class PageFile {
  public:
    PageFile() = default;
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;
    // Closes the file.
    ~PageFile();

    // Opens the regular file at path for reading, locks it exclusively and takes its size.
    // Returns false when it cannot be opened, locked or sized, or is empty.
    bool open(const std::string& path);

    int descriptor() const { return fd_; }
    std::uint64_t size() const { return size_; }

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace ostrel
