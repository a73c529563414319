// The page maker: makes real page files from real pixels, as the device delivers them.
//
// Colour pages are complete JPEG files carrying their resolution. Black-and-white pages are
// single-page TIFF files in the device's fixed layout: byte order mark, one directory of 17
// entries at offset 8 (strip offset value at 102, strip byte count value at 150, page number at
// 210, next-directory offset 0 at 214, the two resolutions at 218 and 226) and one strip of CCITT
// Group 4 data, least significant bit first, from offset 234 to the end of the file.
//
// Used by the device simulator to seed its store, and by the tests and benchmarks to make their
// fixtures. Nothing here throws; failures come back as empty results or false.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace pagemaker {

using Bytes = std::vector<std::uint8_t>;

// Byte order of a page TIFF: "MM" (big-endian) or "II" (little-endian).
enum class ByteOrder { BigEndian, LittleEndian };

// Colour pixels: rows top to bottom, 3 bytes (R, G, B) a pixel, no row padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    Bytes pixels;  // width * height * 3 bytes

    bool valid() const;
};

// Black-and-white pixels: rows top to bottom, (width + 7) / 8 bytes a row, leftmost pixel in the
// most significant bit, 1 = black. Padding bits at the end of a row are 0.
struct BitonalImage {
    int width = 0;
    int height = 0;
    Bytes bits;

    BitonalImage() = default;
    // A white image of the given size (no pixels when a size is not positive).
    BitonalImage(int width, int height);
    int bytesPerRow() const { return (width + 7) / 8; }
    bool valid() const;
    bool black(int x, int y) const;
    void setBlack(int x, int y, bool isBlack = true);
};

// A complete JPEG file of the pixels, baseline, with the resolution in dots per inch stored in
// its JFIF header. Returns no bytes when the image is invalid, a resolution is not in 1..65535,
// or quality is not in 1..100.
Bytes makeColourJpeg(const RgbImage& image, int xDpi, int yDpi, int quality = 85);

// A single-page TIFF in the device's fixed layout (see above) whose strip is the Group 4 coding
// of the pixels. Returns no bytes when the image is invalid, a resolution is not in 1..65535, or
// the coder fails.
Bytes makeBlackWhiteTiff(const BitonalImage& image, int xDpi, int yDpi,
                         ByteOrder order = ByteOrder::BigEndian);

// The Group 4 coding of the pixels, least significant bit first: the strip that
// makeBlackWhiteTiff puts at offset 234. No bytes on failure.
Bytes encodeGroup4(const BitonalImage& image);

// Writes the bytes to the file, creating or truncating it. Returns false when the file cannot
// be written completely; a partly written file is then removed.
bool writeFile(const std::string& path, const Bytes& bytes);

// The page file name of the shared convention, without folder: "%08X_%d.jpg" for colour,
// "%08X_%d.tif" for black-and-white.
std::string pageFileName(std::uint32_t documentId, int page, bool monochrome);

// Pixel size of an A4 page (210 x 297 mm) at the resolution: 2480 x 3508 at 300 dpi.
int a4Width(int dpi);
int a4Height(int dpi);

// A readable A4 page at the resolution: white paper, the title large at the top, then the lines
// of text, a frame and a page marker. Drawn with QPainter; needs a QGuiApplication for fonts and
// creates an offscreen one when the process has no application object yet. When only a
// non-GUI application object exists, the text is drawn as grey bars instead. Format RGB888.
QImage renderTextPage(const QString& title, const QStringList& lines, int dpi,
                      QColor accent = QColor(30, 80, 170));

// The image's pixels as RgbImage (any format; converted to RGB888 first).
RgbImage toRgb(const QImage& image);

// The image's pixels as black and white: a pixel is black when its grey level is below the
// threshold (0..255).
BitonalImage toBitonal(const QImage& image, int threshold = 128);

// A photo-like colour pattern (smooth gradients with fine noise) that compresses to roughly
// 1 MB of JPEG at A4 300 dpi; the same seed gives the same pixels.
RgbImage texturedPattern(int width, int height, std::uint32_t seed);

// A text-like black-and-white pattern (rows of word-like blocks) typical of a scanned letter;
// the same seed gives the same pixels.
BitonalImage textLikePattern(int width, int height, std::uint32_t seed);

}  // namespace pagemaker
