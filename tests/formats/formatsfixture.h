// Helpers of the format tests: a temporary folder, files, the two libraries bound by name,
// external readers, and pixels decoded independently with libtiff and Qt.
#pragma once

#include "ostrel/ostrel.h"
#include "quilmar/quilmar.h"
#include "tools/pagemaker/pagemaker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace formatstest {

using pagemaker::Bytes;

std::string readText(const std::string& path);
Bytes readBytes(const std::string& path);
bool exists(const std::string& path);
std::u16string u16(const std::string& text);

// Runs a shell command; returns its exit status and puts stdout and stderr into output.
int run(const std::string& command, std::string* output = nullptr);

// The two libraries, loaded from the program folder and bound by name as Velnor does.
PdfEncodeFunction pdfEncode();
MultiTiffEncodeFunction multiTiffEncode();

// Every page of a TIFF file decoded by libtiff into black-and-white pixels (1 = black).
std::vector<pagemaker::BitonalImage> decodeTiffPages(const std::string& path);
// A black-and-white image file (PNG, PBM ...) decoded by Qt.
pagemaker::BitonalImage decodeImageFile(const std::string& path);

// A page TIFF in the fixed layout around the given strip bytes: the header and directory of a
// real page, with the strip byte count set and the strip appended.
Bytes layoutTiff(const Bytes& strip, pagemaker::ByteOrder order = pagemaker::ByteOrder::BigEndian);

// Runs body in a child process whose files may grow to at most limit bytes (writes beyond fail
// as on a full disk); returns body's result as the child's exit status (0..255).
int runWithFileSizeLimit(std::uint64_t limit, const std::function<int()>& body);

std::uint32_t big32(const Bytes& bytes, std::size_t at);
std::uint32_t little32(const Bytes& bytes, std::size_t at);

// Each test gets a fresh folder under the system's temporary folder, removed afterwards.
class FormatsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  public:
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    std::string pagePath(std::uint32_t id, int page, bool monochrome) const {
        return path(pagemaker::pageFileName(id, page, monochrome));
    }
    void writePage(std::uint32_t id, int page, bool monochrome, const Bytes& bytes) const {
        ASSERT_TRUE(pagemaker::writeFile(pagePath(id, page, monochrome), bytes));
    }
    std::u16string folder16() const { return u16(folder_); }

    std::string folder_;
};

}  // namespace formatstest
