#pragma once
// A folder of this process for the files a fuzz target hands to code that reads files: on a
// memory file system when there is one, removed when the process ends. Inputs are split into
// page files by a small framing shared by the page targets.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// The process's scratch folder (created on first use); aborts when it cannot be created, since
// a target that cannot write its files would fuzz nothing.
const std::string& ScratchFolder();

// Writes the bytes to `path`, replacing the file; aborts when that fails.
void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Removes every file of the scratch folder.
void ClearScratchFolder();

// Splits an input into at most `maxParts` parts: each part but the last is a 16-bit
// little-endian length followed by that many bytes (cut at the end of the input); the last part
// takes the rest. Never reads outside the input.
std::vector<std::vector<std::uint8_t>> SplitParts(const std::uint8_t* data, std::size_t size,
                                                  std::size_t maxParts);

// The file's bytes; empty when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace fuzzing
