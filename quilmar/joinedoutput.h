// The joined TIFF being written: created or truncated, held exclusively, written in order
// through a buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quilmar {

class JoinedOutput {
  public:
    JoinedOutput() = default;
    JoinedOutput(const JoinedOutput&) = delete;
    JoinedOutput& operator=(const JoinedOutput&) = delete;
    // Removes the file when it was created but not closed successfully.
    ~JoinedOutput();

    // Creates or truncates the file at path under an exclusive lock. False when it cannot be
    // created, locked or truncated (a file created here is removed again) or memory runs out.
    bool create(const std::string& path);

    // Appends the bytes. False when this or an earlier write fell short.
    bool write(const void* data, std::size_t size);

    // Appends length bytes of the open file fd from offset on. False when the file ends early,
    // cannot be read, or the output cannot be written.
    bool copyFrom(int fd, std::uint64_t offset, std::uint64_t length);

    // Writes out the buffer and closes the file. False when any write or the close failed;
    // the file is then removed.
    bool close();

  private:
    bool flush();
    void discard();

    int fd_ = -1;
    bool failed_ = false;
    bool useKernelCopy_ = true;
    std::string path_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
};

}  // namespace quilmar
