// The PDF output file: created or truncated, held exclusively, written through a buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Closes the file if still open; buffered bytes are written first.
    ~OutputFile();

    // Creates the file or truncates it, holding an exclusive lock. Returns false when it cannot
    // be created, locked or truncated; a file that was created here is then removed again.
    // Throws std::bad_alloc, before touching the file, when the buffer cannot be had.
    bool create(const std::string& path);

    // Appends the bytes. They reach the file in order, through a buffer; the bytes written are
    // exactly those given. Returns false when this or an earlier write fell short: after the
    // first failure every later write fails too.
    bool write(const void* data, std::size_t size);

    // Writes what is buffered and closes the file. Returns false when any write or the close
    // failed. The file stays on disk either way.
    bool close();

    // Closes the file without caring for the result and removes it.
    void discard();

    bool isOpen() const { return fd_ >= 0; }

    // Appends length bytes of the open file fd, from offset on: file to file inside the kernel
    // where it can, else through the buffer. Returns false when the file ends early or cannot
    // be read, or the output cannot be written (later writes then fail too).
    bool copyFrom(int fd, std::uint64_t offset, std::uint64_t length);

    // Writes what is buffered now. Returns false when this or an earlier write fell short.
    bool flush();

  private:
    int fd_ = -1;
    bool failed_ = false;
    bool useKernelCopy_ = true;
    std::string path_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
};

}  // namespace ostrel
