// PDF_Encode through the exported function of ostrel.so: the bytes it fixes, the structure it
// builds, what independent readers find in it, and the partial PDFs of failed pages.
#include "tests/formats/formatsfixture.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <regex>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace formatstest {
namespace {

// The xref table of a written PDF, checked to point at "<n> 0 obj\r" for every object.
struct Xref {
    std::uint64_t start = 0;             // the startxref value
    std::vector<std::uint64_t> offsets;  // index = object number; [0] unused
};

Xref readXref(const std::string& pdf) {
    Xref xref;
    const auto at = pdf.rfind("startxref\r");
    if (at == std::string::npos) {
        ADD_FAILURE() << "no startxref";
        return xref;
    }
    xref.start = std::stoull(pdf.substr(at + 10));
    std::size_t pos = xref.start;
    if (pdf.compare(pos, 7, "xref\r0 ") != 0) {
        ADD_FAILURE() << "startxref does not point at xref";
        return xref;
    }
    const int count = std::stoi(pdf.substr(pos + 7));
    pos = pdf.find("\r\n", pos) + 2;
    EXPECT_EQ(pdf.substr(pos, 20), "0000000000 65535 f\r\n");
    xref.offsets.push_back(0);
    for (int object = 1; object < count; ++object) {
        pos += 20;
        const std::string entry = pdf.substr(pos, 20);
        EXPECT_EQ(entry.substr(10), " 00000 n\r\n") << "entry " << object;
        const std::uint64_t offset = std::stoull(entry.substr(0, 10));
        const std::string label = std::to_string(object) + " 0 obj\r";
        EXPECT_EQ(pdf.compare(offset, label.size(), label), 0) << "object " << object;
        xref.offsets.push_back(offset);
    }
    return xref;
}

// The objects in the order in which they lie in the file.
std::vector<int> objectOrder(const Xref& xref) {
    std::vector<int> order;
    for (int object = 1; object < static_cast<int>(xref.offsets.size()); ++object) {
        order.push_back(object);
    }
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return xref.offsets[a] < xref.offsets[b]; });
    return order;
}

// The text of object n, from "n 0 obj\r" to its "endobj".
std::string objectText(const std::string& pdf, const Xref& xref, int n) {
    const auto from = xref.offsets.at(static_cast<std::size_t>(n));
    return pdf.substr(from, pdf.find("endobj", from) - from);
}

int pdfPageCount(const std::string& file) {
    std::string info;
    if (run("pdfinfo " + file, &info) != 0) {
        return -1;
    }
    std::smatch match;
    return std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(match[1])
                                                                          : -1;
}

void expectQpdfClean(const std::string& file) {
    std::string output;
    EXPECT_EQ(run("qpdf --check " + file, &output), 0) << output;
    EXPECT_NE(output.find("No syntax or stream encoding errors"), std::string::npos) << output;
}

class PdfEncodeTest : public FormatsTest {
  protected:
    void SetUp() override {
        FormatsTest::SetUp();
        ASSERT_NE(pdfEncode(), nullptr) << "PDF_Encode is not exported by ostrel.so";
    }

    // Calls PDF_Encode with info for pages 0..info.size()-1.
    std::int32_t encode(const std::vector<PageImageInfo>& info, std::uint32_t id, int first,
                        int last, bool monochrome, const std::string& output = "out.pdf") {
        const std::u16string out = u16(path(output));
        const std::u16string folder = folder16();
        return pdfEncode()(out.c_str(), info.data(), id, first, last, monochrome ? 1 : 0,
                           folder.c_str());
    }

    // Colour pages 1..count of document id, each a small real JPEG of its own pixels.
    std::vector<PageImageInfo> colourPages(std::uint32_t id, int count) {
        std::vector<PageImageInfo> info(static_cast<std::size_t>(count) + 1, {0, 0, 0, 0});
        for (int page = 1; page <= count; ++page) {
            const auto pixels = pagemaker::texturedPattern(120 + page, 160, page);
            writePage(id, page, false, pagemaker::makeColourJpeg(pixels, 100, 100));
            info[static_cast<std::size_t>(page)] = {pixels.width, pixels.height, 100, 100};
        }
        return info;
    }

    // Black-and-white pages 1..count of document id; their pixels go into sources.
    std::vector<PageImageInfo> blackWhitePages(
        std::uint32_t id, int count, std::vector<pagemaker::BitonalImage>* sources = nullptr) {
        std::vector<PageImageInfo> info(static_cast<std::size_t>(count) + 1, {0, 0, 0, 0});
        for (int page = 1; page <= count; ++page) {
            const auto pixels = pagemaker::textLikePattern(400 + 3 * page, 520, page);
            writePage(id, page, true, pagemaker::makeBlackWhiteTiff(pixels, 200, 200));
            info[static_cast<std::size_t>(page)] = {pixels.width, pixels.height, 200, 200};
            if (sources != nullptr) {
                sources->push_back(pixels);
            }
        }
        return info;
    }
};

TEST_F(PdfEncodeTest, EmptyRangeWritesAValidPdfWithoutPages) {
    ASSERT_EQ(encode({}, 7, 5, 4, false), 0);
    const std::string pdf = readText(path("out.pdf"));
    const std::regex expected(
        "%PDF-1\\.6\r%\xE2\xE3\xCF\xD3\r\n"
        "1 0 obj\r<<\r/CreationDate \\((D:\\d{14})\\)\r/ModDate \\(\\1\\)\r/Producer "
        "\\(Velnor\\)\r>>\rendobj\r\n"
        "2 0 obj\r<<\r/Type /Catalog\r/Pages 3 0 R\r>>\rendobj\r\n"
        "3 0 obj\r<<\r/Type /Pages\r/Kids \\[\r\\]\r/Count 0\r>>\rendobj\r\n"
        "xref\r0 4\r\n0000000000 65535 f\r\n0000000016 00000 n\r\n0000000118 00000 n\r\n"
        "0000000168 00000 n\r\n"
        "trailer\r<<\r/Size 4\r/Info 1 0 R\r/Root 2 0 R\r>>\r\nstartxref\r222\r\n%%EOF\r\n");
    EXPECT_TRUE(std::regex_match(pdf, expected)) << pdf;
    readXref(pdf);
    expectQpdfClean(path("out.pdf"));
}

struct PageBoxCase {
    const char* name;
    PageImageInfo info;
    const char* width;
    const char* height;
};

class PageBox : public PdfEncodeTest, public ::testing::WithParamInterface<PageBoxCase> {};

TEST_P(PageBox, FollowsPixelsAndResolution) {
    const PageBoxCase c = GetParam();
    auto info = colourPages(1, 1);
    info[1] = c.info;
    ASSERT_EQ(encode(info, 1, 1, 1, false), 0);
    const std::string pdf = readText(path("out.pdf"));
    const Xref xref = readXref(pdf);
    const std::string w = c.width;
    const std::string h = c.height;
    EXPECT_NE(objectText(pdf, xref, 4).find("/MediaBox [ 0 0 " + w + " " + h + " ]"),
              std::string::npos);
    const std::string content = "q\r" + w + " 0 0 " + h + " 0 0 cm\r\n/Im0 Do\r\nQ\r\n";
    EXPECT_NE(objectText(pdf, xref, 5).find("stream\r\n" + content + "endstream\r"),
              std::string::npos);
    EXPECT_EQ(objectText(pdf, xref, 6), "6 0 obj\r" + std::to_string(content.size()) + "\r");
    EXPECT_NE(objectText(pdf, xref, 8)
                  .find("/Width " + std::to_string(c.info.xPixel) + "\r/Height " +
                        std::to_string(c.info.yPixel) + "\r"),
              std::string::npos);
    expectQpdfClean(path("out.pdf"));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PageBox,
    ::testing::Values(PageBoxCase{"A4At300", {2480, 3508, 300, 300}, "595", "842"},
                      PageBoxCase{"LetterWideAt200", {1728, 2339, 200, 200}, "622", "842"},
                      PageBoxCase{"A4At200", {1654, 2339, 200, 200}, "595", "842"},
                      PageBoxCase{"UnequalResolutions", {1000, 1000, 100, 200}, "720", "360"},
                      PageBoxCase{"HighBitsOfResolutionIgnored",
                                  {2480, 3508, 300 + 65536, 300 + 131072},
                                  "595",
                                  "842"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PdfEncodeTest, A4At300HasTheContentLength34) {
    auto info = colourPages(1, 1);
    info[1] = {2480, 3508, 300, 300};
    ASSERT_EQ(encode(info, 1, 1, 1, false), 0);
    const std::string pdf = readText(path("out.pdf"));
    EXPECT_EQ(objectText(pdf, readXref(pdf), 6), "6 0 obj\r34\r");
}

TEST_F(PdfEncodeTest, TwoColourPagesFollowTheObjectOrderAndEmbedTheJpegsWhole) {
    const std::uint32_t id = 0x1A2F3;
    auto info = colourPages(id, 4);
    ASSERT_EQ(encode(info, id, 3, 4, false), 0);
    const std::string file = path("out.pdf");
    const std::string pdf = readText(file);
    const Xref xref = readXref(pdf);
    ASSERT_EQ(xref.offsets.size(), 18u);
    EXPECT_EQ(xref.offsets[1], 16u);
    EXPECT_EQ(objectOrder(xref),
              (std::vector<int>{1, 8, 9, 10, 15, 16, 17, 4, 5, 6, 7, 11, 12, 13, 14, 2, 3}));
    EXPECT_NE(pdf.find("/Size 18\r"), std::string::npos);
    EXPECT_NE(objectText(pdf, xref, 3).find("/Kids [\r4 0 R\r11 0 R\r]\r/Count 2\r"),
              std::string::npos);
    EXPECT_NE(objectText(pdf, xref, 8).find("/Name /Im0\r/Filter [ /DCTDecode ]\r"),
              std::string::npos);
    EXPECT_NE(objectText(pdf, xref, 15).find("/Name /Im1\r"), std::string::npos);
    EXPECT_NE(objectText(pdf, xref, 11).find("/XObject << /Im1 15 0 R >>\r/ProcSet 14 0 R >>"),
              std::string::npos);
    EXPECT_EQ(objectText(pdf, xref, 10), "10 0 obj\r/DeviceRGB\r");
    EXPECT_EQ(objectText(pdf, xref, 7), "7 0 obj\r[ /PDF /ImageC ]\r");
    const auto jpeg3 = readBytes(pagePath(id, 3, false));
    EXPECT_EQ(objectText(pdf, xref, 9), "9 0 obj\r" + std::to_string(jpeg3.size()) + "\r");
    EXPECT_TRUE(pdf.ends_with("\r\n%%EOF\r\n"));

    expectQpdfClean(file);
    EXPECT_EQ(pdfPageCount(file), 2);
    std::string output;
    ASSERT_EQ(run("pdfimages -j " + file + " " + path("img"), &output), 0) << output;
    EXPECT_EQ(readBytes(path("img-000.jpg")), jpeg3);
    EXPECT_EQ(readBytes(path("img-001.jpg")), readBytes(pagePath(id, 4, false)));
}

TEST_F(PdfEncodeTest, BlackWhitePagesDecodeToTheirSourcePixels) {
    const std::uint32_t id = 0xCAFE;
    std::vector<pagemaker::BitonalImage> sources;
    auto info = blackWhitePages(id, 2, &sources);
    // A readable text page, as the device's scans are.
    const auto text = pagemaker::toBitonal(
        pagemaker::renderTextPage("Minutes", {"Present: all", "Agenda: one item"}, 75));
    writePage(id, 3, true, pagemaker::makeBlackWhiteTiff(text, 75, 75));
    info.push_back({text.width, text.height, 75, 75});
    sources.push_back(text);
    std::vector<Bytes> strips;
    for (int page = 1; page <= 3; ++page) {
        const Bytes tiff = readBytes(pagePath(id, page, true));
        ASSERT_EQ(decodeTiffPages(pagePath(id, page, true))[0].bits, sources[page - 1].bits);
        strips.emplace_back(tiff.begin() + 234, tiff.end());
    }

    ASSERT_EQ(encode(info, id, 1, 3, true), 0);
    const std::string file = path("out.pdf");
    const std::string pdf = readText(file);
    const Xref xref = readXref(pdf);
    EXPECT_NE(
        objectText(pdf, xref, 8)
            .find("/Filter [ /CCITTFaxDecode ]\r/DecodeParms [ << /K -1 /Rows 520 /EndOfLine false "
                  "/Columns 403 /EndOfBlock true >> ]\r/Width 403\r/Height 520\r/ColorSpace 10 0 "
                  "R\r/BitsPerComponent 1\r"),
        std::string::npos);
    EXPECT_EQ(objectText(pdf, xref, 10), "10 0 obj\r/DeviceGray\r");
    EXPECT_EQ(objectText(pdf, xref, 7), "7 0 obj\r[ /PDF /ImageB ]\r");
    expectQpdfClean(file);
    EXPECT_EQ(pdfPageCount(file), 3);

    // The page files now hold their raw strips; the PDF's images decode to the source pixels.
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(readBytes(pagePath(id, page, true)), strips[page - 1]) << page;
    }
    std::string output;
    ASSERT_EQ(run("pdfimages -png " + file + " " + path("img"), &output), 0) << output;
    for (int page = 1; page <= 3; ++page) {
        const auto decoded = decodeImageFile(path("img-00" + std::to_string(page - 1) + ".png"));
        EXPECT_EQ(decoded.width, sources[page - 1].width) << page;
        EXPECT_TRUE(decoded.bits == sources[page - 1].bits) << page;
    }
}

TEST_F(PdfEncodeTest, PagesOnAnotherFileSystemAreCopiedToo) {
    // Page files in memory-backed /dev/shm, the PDF on the temporary folder's file system: the
    // kernel's file-to-file copy refuses, and the bytes go through the writer's buffer instead.
    std::string shm = "/dev/shm/velnor-formats-XXXXXX";
    if (!std::filesystem::is_directory("/dev/shm") || ::mkdtemp(shm.data()) == nullptr) {
        GTEST_SKIP() << "no /dev/shm";
    }
    std::vector<Bytes> jpegs;
    for (int page = 1; page <= 2; ++page) {
        jpegs.push_back(
            pagemaker::makeColourJpeg(pagemaker::texturedPattern(700, 500, page), 100, 100, 95));
        ASSERT_TRUE(pagemaker::writeFile(shm + "/" + pagemaker::pageFileName(0x5, page, false),
                                         jpegs.back()));
    }
    const std::vector<PageImageInfo> info = {
        {0, 0, 0, 0}, {700, 500, 100, 100}, {700, 500, 100, 100}};
    const std::u16string out = u16(path("out.pdf"));
    const std::u16string folder = u16(shm);
    const std::int32_t result = pdfEncode()(out.c_str(), info.data(), 5, 1, 2, 0, folder.c_str());
    std::filesystem::remove_all(shm);
    ASSERT_EQ(result, 0);
    expectQpdfClean(path("out.pdf"));
    std::string output;
    ASSERT_EQ(run("pdfimages -j " + path("out.pdf") + " " + path("img"), &output), 0) << output;
    EXPECT_EQ(readBytes(path("img-000.jpg")), jpegs[0]);
    EXPECT_EQ(readBytes(path("img-001.jpg")), jpegs[1]);
}

TEST_F(PdfEncodeTest, Group4DataIsBitReversed) {
    const Bytes strip = {0x01, 0x0F, 0x35, 0xFF, 0x00, 0x80};
    writePage(9, 1, true, layoutTiff(strip));
    const std::vector<PageImageInfo> info = {{0, 0, 0, 0}, {8, 6, 200, 200}};
    ASSERT_EQ(encode(info, 9, 1, 1, true), 0);
    const std::string pdf = readText(path("out.pdf"));
    const std::string data = "stream\r\n\x80\xF0\xAC\xFF";
    const auto at = pdf.find(data);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(
        pdf.compare(at + data.size(), 2 + 18, std::string("\x00\x01", 2) + "\rendstream\rendobj\r"),
        0);
    EXPECT_EQ(objectText(pdf, readXref(pdf), 9), "9 0 obj\r6\r");
}

struct BadResolution {
    const char* name;
    std::int32_t x;
    std::int32_t y;
};

class ZeroResolution : public PdfEncodeTest, public ::testing::WithParamInterface<BadResolution> {};

TEST_P(ZeroResolution, OnTheThirdOfFivePagesLeavesTheFirstTwo) {
    auto info = colourPages(3, 5);
    info[3].xResolution = GetParam().x;
    info[3].yResolution = GetParam().y;
    EXPECT_EQ(encode(info, 3, 1, 5, false), -16);
    const std::string file = path("out.pdf");
    const std::string pdf = readText(file);
    EXPECT_EQ(readXref(pdf).offsets.size(), 18u);
    EXPECT_EQ(pdf.find("/Im2"), std::string::npos);  // nothing of the third image was written
    expectQpdfClean(file);
    EXPECT_EQ(pdfPageCount(file), 2);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ZeroResolution,
                         ::testing::Values(BadResolution{"Horizontal", 0, 100},
                                           BadResolution{"Vertical", 100, 0},
                                           BadResolution{"Low16BitsZero", 65536, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PdfEncodeTest, MissingOrEmptyPageFileEndsWithTheEarlierPages) {
    for (const bool empty : {false, true}) {
        auto info = colourPages(4, 5);
        std::remove(pagePath(4, 3, false).c_str());
        if (empty) {
            writePage(4, 3, false, {});
        }
        EXPECT_EQ(encode(info, 4, 1, 5, false), -1) << empty;
        const std::string file = path("out.pdf");
        EXPECT_EQ(readXref(readText(file)).offsets.size(), 18u);
        expectQpdfClean(file);
    }
}

TEST_F(PdfEncodeTest, UnreducibleThirdPageEndsWithTwoReducedPages) {
    std::vector<pagemaker::BitonalImage> sources;
    auto info = blackWhitePages(6, 5, &sources);
    Bytes third = readBytes(pagePath(6, 3, true));
    third.resize(200);  // shorter than the directory
    writePage(6, 3, true, third);
    const Bytes fourth = readBytes(pagePath(6, 4, true));
    std::vector<Bytes> strips;
    for (int page = 1; page <= 2; ++page) {
        const Bytes tiff = readBytes(pagePath(6, page, true));
        strips.emplace_back(tiff.begin() + 234, tiff.end());
    }

    EXPECT_EQ(encode(info, 6, 1, 5, true), -1);
    const std::string file = path("out.pdf");
    expectQpdfClean(file);
    EXPECT_EQ(pdfPageCount(file), 2);
    for (int page = 1; page <= 2; ++page) {
        EXPECT_EQ(readBytes(pagePath(6, page, true)), strips[page - 1]) << page;
    }
    EXPECT_EQ(readBytes(pagePath(6, 3, true)), third);
    EXPECT_EQ(readBytes(pagePath(6, 4, true)), fourth);
}

TEST_F(PdfEncodeTest, ShortWritesAreFailures) {
    auto info = colourPages(2, 3);
    ASSERT_EQ(encode(info, 2, 1, 3, false), 0);
    const std::uint64_t full = readBytes(path("out.pdf")).size();
    struct Limit {
        std::uint64_t bytes;
        bool fileStays;
    };
    // Inside the header (the file is removed), inside the page data, inside the xref section.
    for (const Limit limit : {Limit{50, false}, Limit{3000, true}, Limit{full - 40, true}}) {
        std::remove(path("out.pdf").c_str());
        const int result =
            runWithFileSizeLimit(limit.bytes, [&] { return encode(info, 2, 1, 3, false); });
        EXPECT_EQ(result, 255) << limit.bytes;  // -1
        EXPECT_EQ(exists(path("out.pdf")), limit.fileStays) << limit.bytes;
    }
}

TEST_F(PdfEncodeTest, RefusedCallsCreateNothing) {
    auto info = colourPages(5, 1);
    const std::u16string folder = folder16();
    const std::u16string out = u16(path("out.pdf"));
    const char16_t loneSurrogate[] = {u'a', 0xD800, u'b', 0};
    const std::u16string missingFolder = u16(path("no/such/folder/out.pdf"));

    EXPECT_EQ(pdfEncode()(loneSurrogate, info.data(), 5, 1, 1, 0, folder.c_str()), -2);
    EXPECT_EQ(pdfEncode()(u"", info.data(), 5, 1, 1, 0, folder.c_str()), -2);
    EXPECT_EQ(pdfEncode()(out.c_str(), info.data(), 5, 1, 1, 0, u""), -2);
    EXPECT_EQ(pdfEncode()(out.c_str(), info.data(), 5, 1, 1, 0, nullptr), -2);
    // More pages than one PDF of this writer can hold.
    EXPECT_EQ(pdfEncode()(out.c_str(), info.data(), 5, 1, 65501, 0, folder.c_str()), -2);
    EXPECT_EQ(
        pdfEncode()(out.c_str(), info.data(), 5, -2147483647 - 1, 2147483647, 0, folder.c_str()),
        -2);
    EXPECT_EQ(pdfEncode()(out.c_str(), nullptr, 5, 1, 1, 0, folder.c_str()), -1);
    EXPECT_FALSE(exists(path("out.pdf")));
    EXPECT_EQ(pdfEncode()(missingFolder.c_str(), info.data(), 5, 1, 1, 0, folder.c_str()), -1);
    EXPECT_FALSE(exists(path("no")));
}

TEST_F(PdfEncodeTest, OverwritesALongerExistingFile) {
    auto info = colourPages(8, 1);
    ASSERT_TRUE(pagemaker::writeFile(path("out.pdf"), Bytes(1 << 20, 'x')));
    ASSERT_EQ(encode(info, 8, 1, 1, false), 0);
    const std::string pdf = readText(path("out.pdf"));
    EXPECT_TRUE(pdf.ends_with("%%EOF\r\n"));
    EXPECT_EQ(pdf.find("xxxx"), std::string::npos);
    expectQpdfClean(path("out.pdf"));
}

TEST_F(PdfEncodeTest, OutputHeldByAnotherWriterIsLeftAlone) {
    auto info = colourPages(8, 1);
    const Bytes before(5000, 'x');
    ASSERT_TRUE(pagemaker::writeFile(path("out.pdf"), before));
    const int holder = ::open(path("out.pdf").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_EQ(encode(info, 8, 1, 1, false), -1);
    ::close(holder);
    EXPECT_EQ(readBytes(path("out.pdf")), before);
}

TEST_F(PdfEncodeTest, UnicodePathsAreWritten) {
    auto info = colourPages(0xABC, 1);
    const std::u16string out = u"" + u16(path("Bericht \u00FCber Stra\u00DFen \u6587\u66F8.pdf"));
    const std::u16string folder = folder16();
    ASSERT_EQ(pdfEncode()(out.c_str(), info.data(), 0xABC, 1, 1, 0, folder.c_str()), 0);
    EXPECT_TRUE(exists(path("Bericht \u00FCber Stra\u00DFen \u6587\u66F8.pdf")));
}

}  // namespace
}  // namespace formatstest
