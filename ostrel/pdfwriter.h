// The PDF writer that PDF_Encode drives: one per call, one output file. Operations are called
// in this order: Open once; for each image BeginImage, any number of WriteImageData, EndImage;
// Close once (also after a failed image, and only after a successful Open).
#pragma once

#include "ostrel/ostrel.h"
#include "ostrel/outputfile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

enum class ImageCoding { ColourJpeg, Group4 };

class PdfWriter {
  public:
    // Creates or truncates the output and writes the header and the Info object.
    // 0 on success; -2 when memory runs out (nothing created); -1 when the file cannot be
    // created (nothing created) or the header, Info object or date cannot be made (the file is
    // removed again).
    std::int32_t Open(const std::string& path);

    // Starts the image XObject of the next image. -16 (nothing written) when a resolution's
    // low 16 bits are 0; -2 when the image list cannot grow; -1 when the write falls short.
    std::int32_t BeginImage(const PageImageInfo& info, ImageCoding coding);

    // Appends coded data to the image's stream; Group 4 data is bit-reversed on the way.
    // -1 when the write falls short, -2 when the scratch buffer cannot grow.
    std::int32_t WriteImageData(const std::uint8_t* data, std::size_t size);

    // Appends length bytes of the open file fd, from offset on, to a colour image's stream
    // unchanged, as WriteImageData would. -1 when the file ends early or cannot be read or the
    // write falls short; -2 for a Group 4 image, whose data must pass WriteImageData.
    std::int32_t WriteImageFile(int fd, std::uint64_t offset, std::uint64_t length);

    // Ends the image stream and writes its length and colour space objects; the image then
    // counts. -1 when the write falls short.
    std::int32_t EndImage();

    // Writes the page objects of every counted image, the Catalog, the page tree, the xref
    // section and the trailer, then closes the file. -1 when a write or the close fails; the
    // file is closed in every case and never removed.
    std::int32_t Close();

  private:
    // One embedded image: sizes, coding and the offsets of its seven objects (index 0 is the
    // Page object 7i + 4, index 6 the colour space object 7i + 10).
    struct ImageRecord {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::uint16_t xResolution = 0;
        std::uint16_t yResolution = 0;
        ImageCoding coding = ImageCoding::ColourJpeg;
        std::uint64_t offsets[7] = {};
    };

    bool emit(const std::string& text);
    std::int32_t writePage(std::uint16_t index);

    static constexpr std::size_t kListStep = 100;
    static constexpr std::size_t kMaxImages = 65500;

    OutputFile output_;
    std::uint64_t offset_ = 0;           // bytes written to the output so far
    std::vector<ImageRecord> images_;    // the counted images, plus the one being written
    std::size_t capacity_ = 0;           // room in the image list, in steps of 100
    std::uint16_t count_ = 0;            // images completed
    std::uint64_t streamLength_ = 0;     // data bytes of the image being written
    bool reverseBits_ = false;           // the image being written is Group 4
    std::vector<std::uint8_t> scratch_;  // reversed bytes of the current piece
    std::uint64_t catalogOffset_ = 0;
    std::uint64_t pagesOffset_ = 0;
};

}  // namespace ostrel
