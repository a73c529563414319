#include "ostrel/pdfwriter.h"

#include <cstdio>
#include <ctime>
#include <new>

namespace ostrel {
namespace {

constexpr std::uint64_t kInfoOffset = 16;
// Offsets in xref entries are exactly ten digits.
constexpr std::uint64_t kLargestOffset = 9999999999ull;

std::string num(std::uint64_t value) {
    return std::to_string(value);
}

// Reverses the bits of every byte (bit 7 becomes bit 0, and so on) by swapping halves, pairs
// and single bits; plain arithmetic that the compiler turns into vector code.
void reverseBits(const std::uint8_t* from, std::uint8_t* to, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        unsigned b = from[i];
        b = ((b & 0xF0u) >> 4) | ((b & 0x0Fu) << 4);
        b = ((b & 0xCCu) >> 2) | ((b & 0x33u) << 2);
        b = ((b & 0xAAu) >> 1) | ((b & 0x55u) << 1);
        to[i] = static_cast<std::uint8_t>(b);
    }
}

// Page box side in points from pixels and resolution: q = pixels * 144 / dpi in unsigned 32-bit
// arithmetic, then q / 2 rounded half up.
std::uint32_t points(std::uint32_t pixels, std::uint16_t dpi) {
    const std::uint32_t q = pixels * 144u / dpi;
    return q / 2 + (q & 1u);
}

}  // namespace

bool PdfWriter::emit(const std::string& text) {
    if (!output_.write(text.data(), text.size())) {
        return false;
    }
    offset_ += text.size();
    return true;
}

std::int32_t PdfWriter::Open(const std::string& path) {
    try {
        images_.reserve(kListStep);
        capacity_ = kListStep;
        if (!output_.create(path)) {
            return kPdfEncodeFileError;
        }
    } catch (const std::bad_alloc&) {
        return kPdfEncodeNoMemory;
    }
    static const char header[16] = {'%',  'P', 'D',    'F',    '-',    '1',    '.',  '6',
                                    '\r', '%', '\xE2', '\xE3', '\xCF', '\xD3', '\r', '\n'};
    bool ok = output_.write(header, sizeof header);
    offset_ = sizeof header;

    char date[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ok = ok && localtime_r(&now, &local) != nullptr &&
         std::strftime(date, sizeof date, "D:%Y%m%d%H%M%S", &local) > 0;
    try {
        ok = ok && emit(std::string("1 0 obj\r<<\r/CreationDate (") + date + ")\r/ModDate (" +
                        date + ")\r/Producer (Velnor)\r>>\rendobj\r\n");
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    // The header and Info object go to the file at once, so that a file that cannot take even
    // them is known here and removed.
    ok = ok && output_.flush();
    if (!ok) {
        output_.discard();
        return kPdfEncodeFileError;
    }
    return kPdfEncodeOk;
}

std::int32_t PdfWriter::BeginImage(const PageImageInfo& info, ImageCoding coding) {
    try {
        if (count_ >= capacity_) {
            if (capacity_ + kListStep > kMaxImages) {
                return kPdfEncodeNoMemory;
            }
            images_.reserve(capacity_ + kListStep);
            capacity_ += kListStep;
        }
        const auto xResolution = static_cast<std::uint16_t>(info.xResolution);
        const auto yResolution = static_cast<std::uint16_t>(info.yResolution);
        if (xResolution == 0 || yResolution == 0) {
            return kPdfEncodeNoResolution;
        }
        ImageRecord record;
        record.width = static_cast<std::uint32_t>(info.xPixel);
        record.height = static_cast<std::uint32_t>(info.yPixel);
        record.xResolution = xResolution;
        record.yResolution = yResolution;
        record.coding = coding;
        record.offsets[4] = offset_;
        images_.resize(count_);
        images_.push_back(record);

        const std::uint64_t n = 7u * count_ + 8;
        const bool colour = coding == ImageCoding::ColourJpeg;
        const std::string w = num(record.width);
        const std::string h = num(record.height);
        const std::string filter = colour ? std::string("/DCTDecode ]\r")
                                          : "/CCITTFaxDecode ]\r/DecodeParms [ << /K -1 /Rows " +
                                                h + " /EndOfLine false /Columns " + w +
                                                " /EndOfBlock true >> ]\r";
        const bool ok =
            emit(num(n) + " 0 obj\r<<\r/Type /XObject\r/Subtype /Image\r/Name /Im" + num(count_) +
                 "\r") &&
            emit("/Filter [ " + filter + "/Width " + w + "\r/Height " + h + "\r/ColorSpace " +
                 num(n + 2) + " 0 R\r/BitsPerComponent " + (colour ? "8" : "1") + "\r/Length " +
                 num(n + 1) + " 0 R\r>>\rstream\r\n");
        streamLength_ = 0;
        reverseBits_ = !colour;
        return ok ? kPdfEncodeOk : kPdfEncodeFileError;
    } catch (const std::bad_alloc&) {
        return kPdfEncodeNoMemory;
    }
}

std::int32_t PdfWriter::WriteImageData(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* piece = data;
    if (reverseBits_) {
        if (scratch_.size() < size) {
            try {
                scratch_.resize(size);
            } catch (const std::bad_alloc&) {
                return kPdfEncodeNoMemory;
            }
        }
        reverseBits(data, scratch_.data(), size);
        piece = scratch_.data();
    }
    if (!output_.write(piece, size)) {
        return kPdfEncodeFileError;
    }
    offset_ += size;
    streamLength_ += size;
    return kPdfEncodeOk;
}

std::int32_t PdfWriter::WriteImageFile(int fd, std::uint64_t offset, std::uint64_t length) {
    if (reverseBits_) {
        return kPdfEncodeNoMemory;
    }
    if (!output_.copyFrom(fd, offset, length)) {
        return kPdfEncodeFileError;
    }
    offset_ += length;
    streamLength_ += length;
    return kPdfEncodeOk;
}

std::int32_t PdfWriter::EndImage() {
    try {
        ImageRecord& record = images_.at(count_);
        const std::uint64_t n = 7u * count_ + 8;
        const std::string end = "\rendstream\rendobj\r";
        const std::string length = num(n + 1) + " 0 obj\r" + num(streamLength_) + "\rendobj\r";
        const std::string space =
            num(n + 2) + " 0 obj\r" +
            (record.coding == ImageCoding::ColourJpeg ? "/DeviceRGB" : "/DeviceGray") +
            "\rendobj\r";
        record.offsets[5] = offset_ + end.size();
        record.offsets[6] = record.offsets[5] + length.size();
        if (!emit(end + length + space)) {
            return kPdfEncodeFileError;
        }
        ++count_;
        return kPdfEncodeOk;
    } catch (const std::exception&) {
        return kPdfEncodeNoMemory;
    }
}

std::int32_t PdfWriter::writePage(std::uint16_t index) {
    ImageRecord& record = images_[index];
    const std::uint64_t p = 7u * index + 4;
    const std::string wpt = num(points(record.width, record.xResolution));
    const std::string hpt = num(points(record.height, record.yResolution));
    const std::string image = num(index);

    record.offsets[0] = offset_;
    if (!emit(num(p) + " 0 obj\r<<\r/Type /Page\r/MediaBox [ 0 0 " + wpt + " " + hpt +
              " ]\r/Parent 3 0 R\r/Resources <<\r/XObject << /Im" + image + " " + num(p + 4) +
              " 0 R >>\r/ProcSet " + num(p + 3) + " 0 R >>\r/Contents " + num(p + 1) +
              " 0 R\r>>\rendobj\r\n")) {
        return kPdfEncodeFileError;
    }
    const std::string content =
        "q\r" + wpt + " 0 0 " + hpt + " 0 0 cm\r\n/Im" + image + " Do\r\nQ\r\n";
    const std::string contents = num(p + 1) + " 0 obj\r<<\r/Length " + num(p + 2) +
                                 " 0 R\r>>\rstream\r\n" + content + "endstream\rendobj\r";
    const std::string length = num(p + 2) + " 0 obj\r" + num(content.size()) + "\rendobj\r";
    const std::string procSet = num(p + 3) + (record.coding == ImageCoding::ColourJpeg
                                                  ? " 0 obj\r[ /PDF /ImageC ]\rendobj\r\n"
                                                  : " 0 obj\r[ /PDF /ImageB ]\rendobj\r\n");
    record.offsets[1] = offset_;
    record.offsets[2] = record.offsets[1] + contents.size();
    record.offsets[3] = record.offsets[2] + length.size();
    return emit(contents + length + procSet) ? kPdfEncodeOk : kPdfEncodeFileError;
}

std::int32_t PdfWriter::Close() {
    std::int32_t result = kPdfEncodeOk;
    try {
        for (std::uint16_t i = 0; i < count_ && result == kPdfEncodeOk; ++i) {
            result = writePage(i);
        }
        if (result == kPdfEncodeOk) {
            catalogOffset_ = offset_;
            bool ok = emit("2 0 obj\r<<\r/Type /Catalog\r/Pages 3 0 R\r>>\rendobj\r\n");
            pagesOffset_ = offset_;
            ok = ok && emit("3 0 obj\r<<\r/Type /Pages\r/Kids [\r");
            for (std::uint16_t i = 0; ok && i < count_; ++i) {
                ok = emit(num(7u * i + 4) + " 0 R\r");
            }
            ok = ok && emit("]\r/Count " + num(count_) + "\r>>\rendobj\r\n");

            const std::uint64_t xref = offset_;
            const std::uint64_t size = 4 + 7u * count_;
            ok = ok && offset_ <= kLargestOffset;
            ok = ok && emit("xref\r0 " + num(size) + "\r\n0000000000 65535 f\r\n");
            char entry[24];
            auto writeEntry = [&](std::uint64_t offset) {
                std::snprintf(entry, sizeof entry, "%010llu 00000 n\r\n",
                              static_cast<unsigned long long>(offset));
                return output_.write(entry, 20) && ((offset_ += 20), true);
            };
            ok = ok && writeEntry(kInfoOffset) && writeEntry(catalogOffset_) &&
                 writeEntry(pagesOffset_);
            for (std::uint16_t i = 0; ok && i < count_; ++i) {
                for (int k = 0; ok && k < 7; ++k) {
                    ok = writeEntry(images_[i].offsets[k]);
                }
            }
            ok = ok && emit("trailer\r<<\r/Size " + num(size) +
                            "\r/Info 1 0 R\r/Root 2 0 R\r>>\r\nstartxref\r" + num(xref) +
                            "\r\n%%EOF\r\n");
            if (!ok) {
                result = kPdfEncodeFileError;
            }
        }
    } catch (const std::bad_alloc&) {
        result = kPdfEncodeFileError;
    }
    if (!output_.close() && result == kPdfEncodeOk) {
        result = kPdfEncodeFileError;
    }
    images_.clear();
    images_.shrink_to_fit();
    count_ = 0;
    return result;
}

}  // namespace ostrel
