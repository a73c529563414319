// A page file mapped into memory for reading, held exclusively while mapped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ostrel {

class MappedFile {
  public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    // Unmaps and closes.
    ~MappedFile();

    // Opens the regular file at path, locks it exclusively and maps all of it. Returns false
    // when it cannot be opened, locked, sized or mapped, or is empty (nothing stays open then).
    bool open(const std::string& path);

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    int fd_ = -1;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace ostrel
