// MultiTiffEncode through the exported function of quilmar.so: the join's offsets, the bytes
// it changes, what libtiff reads back, and a 0 for every failure.
#include "tests/formats/formatsfixture.h"

#include <cstdlib>
#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace formatstest {
namespace {

Bytes filled(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 13);
    }
    return bytes;
}

class MultiTiffTest : public FormatsTest {
  protected:
    void SetUp() override {
        FormatsTest::SetUp();
        ASSERT_NE(multiTiffEncode(), nullptr) << "MultiTiffEncode is not exported by quilmar.so";
    }

    std::uint8_t join(std::uint32_t id, int first, int last,
                      const std::string& output = "out.tif") {
        const std::u16string out = u16(path(output));
        const std::u16string folder = folder16();
        return multiTiffEncode()(out.c_str(), id, first, last, folder.c_str());
    }
};

TEST_F(MultiTiffTest, ThreePagesLandAtTheirOffsets) {
    const Bytes strips[3] = {filled(8000, 1), filled(5000, 2), filled(6000, 3)};
    for (int page = 1; page <= 3; ++page) {
        writePage(0x42, page, true, layoutTiff(strips[page - 1]));
    }
    const Bytes first = readBytes(pagePath(0x42, 1, true));
    ASSERT_EQ(first.size(), 8234u);

    ASSERT_EQ(join(0x42, 1, 3), 1);
    const Bytes out = readBytes(path("out.tif"));
    ASSERT_EQ(out.size(), 19686u);
    // The first page: copied, its next-directory offset pointing at the second block.
    EXPECT_EQ(big32(out, 214), 8234u);
    EXPECT_EQ(big32(out, 102), 234u);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 214, out.begin()));
    EXPECT_TRUE(std::equal(first.begin() + 218, first.end(), out.begin() + 218));
    // The second block at 8234, the third at 13460.
    EXPECT_EQ(big32(out, 8234 + 94), 8460u);
    EXPECT_EQ(big32(out, 8234 + 206), 13460u);
    EXPECT_EQ(big32(out, 13460 + 94), 13686u);
    EXPECT_EQ(big32(out, 13460 + 206), 0u);
    EXPECT_TRUE(std::equal(strips[1].begin(), strips[1].end(), out.begin() + 8460));
    EXPECT_TRUE(std::equal(strips[2].begin(), strips[2].end(), out.begin() + 13686));
    // Nothing else of the later blocks changes but the two bytes at 210.
    const Bytes second = readBytes(pagePath(0x42, 2, true));
    EXPECT_TRUE(std::equal(second.begin() + 8, second.begin() + 102, out.begin() + 8234));
    EXPECT_TRUE(std::equal(second.begin() + 106, second.begin() + 210, out.begin() + 8234 + 98));
    EXPECT_TRUE(std::equal(second.begin() + 212, second.begin() + 214, out.begin() + 8234 + 204));
}

TEST_F(MultiTiffTest, LargeStripsArriveWhole) {
    // Strips from a few bytes to more than the output buffer, copied by whichever path fits.
    const Bytes strips[4] = {filled(300000, 1), filled(10, 2), filled(1500000, 3),
                             filled(70000, 4)};
    for (int page = 1; page <= 4; ++page) {
        writePage(0x77, page, true, layoutTiff(strips[page - 1]));
    }
    ASSERT_EQ(join(0x77, 1, 4), 1);
    const Bytes out = readBytes(path("out.tif"));
    ASSERT_EQ(out.size(), 234u + 300000 + 3 * 226 + 10 + 1500000 + 70000);
    std::size_t block = 234 + 300000;
    EXPECT_TRUE(std::equal(strips[0].begin(), strips[0].end(), out.begin() + 234));
    for (int page = 2; page <= 4; ++page) {
        const Bytes& strip = strips[page - 1];
        EXPECT_EQ(big32(out, block + 94), block + 226) << page;
        EXPECT_TRUE(std::equal(strip.begin(), strip.end(), out.begin() + block + 226)) << page;
        block += 226 + strip.size();
    }
}

TEST_F(MultiTiffTest, PagesOnAnotherFileSystemAreCopiedToo) {
    // Page files in memory-backed /dev/shm, the output on the temporary folder's file system:
    // the kernel's file-to-file copy refuses, and the strips go through the buffer instead.
    std::string shm = "/dev/shm/velnor-formats-XXXXXX";
    if (!std::filesystem::is_directory("/dev/shm") || ::mkdtemp(shm.data()) == nullptr) {
        GTEST_SKIP() << "no /dev/shm";
    }
    const Bytes strips[2] = {filled(100000, 1), filled(2000000, 2)};
    for (int page = 1; page <= 2; ++page) {
        ASSERT_TRUE(pagemaker::writeFile(shm + "/" + pagemaker::pageFileName(0x6, page, true),
                                         layoutTiff(strips[page - 1])));
    }
    const std::u16string out = u16(path("out.tif"));
    const std::u16string folder = u16(shm);
    const std::uint8_t result = multiTiffEncode()(out.c_str(), 0x6, 1, 2, folder.c_str());
    std::filesystem::remove_all(shm);
    ASSERT_EQ(result, 1);
    const Bytes joined = readBytes(path("out.tif"));
    ASSERT_EQ(joined.size(), 100234u + 2000226u);
    EXPECT_TRUE(std::equal(strips[0].begin(), strips[0].end(), joined.begin() + 234));
    EXPECT_TRUE(std::equal(strips[1].begin(), strips[1].end(), joined.begin() + 100234 + 226));
}

TEST_F(MultiTiffTest, OnePageIsAByteForByteCopy) {
    for (const auto order : {pagemaker::ByteOrder::BigEndian, pagemaker::ByteOrder::LittleEndian}) {
        const Bytes page =
            pagemaker::makeBlackWhiteTiff(pagemaker::textLikePattern(200, 300, 4), 200, 200, order);
        writePage(7, 4, true, page);
        ASSERT_EQ(join(7, 4, 4), 1);
        EXPECT_EQ(readBytes(path("out.tif")), page);
    }
}

struct PageNumberCase {
    const char* name;
    std::uint8_t before[2];
    std::uint8_t after[2];
};

class PageNumberBytes : public MultiTiffTest,
                        public ::testing::WithParamInterface<PageNumberCase> {};

TEST_P(PageNumberBytes, CountUpLowByteFirst) {
    const PageNumberCase c = GetParam();
    writePage(1, 1, true, layoutTiff(filled(100, 1)));
    Bytes second = layoutTiff(filled(50, 2));
    second[210] = c.before[0];
    second[211] = c.before[1];
    writePage(1, 2, true, second);
    ASSERT_EQ(join(1, 1, 2), 1);
    const Bytes out = readBytes(path("out.tif"));
    ASSERT_EQ(out.size(), 334u + 226 + 50);
    EXPECT_EQ(out[334 + 202], c.after[0]);
    EXPECT_EQ(out[334 + 203], c.after[1]);
    EXPECT_EQ(out[210], 0);  // the first page keeps its own
}

INSTANTIATE_TEST_SUITE_P(Values, PageNumberBytes,
                         ::testing::Values(PageNumberCase{"Zero", {0x00, 0x00}, {0x01, 0x00}},
                                           PageNumberCase{"Five", {0x05, 0x00}, {0x06, 0x00}},
                                           PageNumberCase{"Carry", {0xFF, 0x00}, {0x00, 0x01}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MultiTiffTest, RealPagesDecodeToTheirSourcePixels) {
    std::vector<pagemaker::BitonalImage> sources = {
        pagemaker::textLikePattern(640, 900, 1),
        pagemaker::toBitonal(pagemaker::renderTextPage("Invoice", {"Item one", "Item two"}, 75)),
        pagemaker::textLikePattern(333, 444, 3),
    };
    for (int page = 2; page <= 4; ++page) {
        writePage(0xBEEF, page, true, pagemaker::makeBlackWhiteTiff(sources[page - 2], 200, 200));
    }
    ASSERT_EQ(join(0xBEEF, 2, 4), 1);
    std::string info;
    ASSERT_EQ(run("tiffinfo " + path("out.tif"), &info), 0) << info;
    for (const char* directory : {"TIFF Directory at offset 0x8 (8)",
                                  "=== TIFF directory 1 ===", "=== TIFF directory 2 ==="}) {
        EXPECT_NE(info.find(directory), std::string::npos) << info;
    }
    EXPECT_EQ(info.find("=== TIFF directory 3 ==="), std::string::npos);
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;

    const auto pages = decodeTiffPages(path("out.tif"));
    ASSERT_EQ(pages.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[i].width, sources[i].width) << i;
        EXPECT_TRUE(pages[i].bits == sources[i].bits) << i;
    }
}

TEST_F(MultiTiffTest, TruncatesALongerExistingOutput) {
    writePage(2, 1, true, layoutTiff(filled(1000, 1)));
    writePage(2, 2, true, layoutTiff(filled(2000, 2)));
    ASSERT_TRUE(pagemaker::writeFile(path("out.tif"), Bytes(100000, 'x')));
    ASSERT_EQ(join(2, 1, 2), 1);
    EXPECT_EQ(readBytes(path("out.tif")).size(), 1234u + 2226u);
}

struct JoinFailure {
    const char* name;
    std::function<void(MultiTiffTest&)> spoil;  // what goes wrong with pages 1..3
    int first = 1;
    int last = 3;
};

class JoinFails : public MultiTiffTest, public ::testing::WithParamInterface<JoinFailure> {};

TEST_P(JoinFails, ReturnsZeroAndLeavesNoOutput) {
    for (int page = 1; page <= 3; ++page) {
        writePage(3, page, true, layoutTiff(filled(500, static_cast<std::uint8_t>(page))));
    }
    GetParam().spoil(*this);
    EXPECT_EQ(join(3, GetParam().first, GetParam().last), 0);
    EXPECT_FALSE(std::filesystem::is_regular_file(path("out.tif")));
}

void removePage(MultiTiffTest& t, int page) {
    std::remove(t.pagePath(3, page, true).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinFails,
    ::testing::Values(
        JoinFailure{"MissingFirstPage", [](MultiTiffTest& t) { removePage(t, 1); }},
        JoinFailure{"MissingLastPage", [](MultiTiffTest& t) { removePage(t, 3); }},
        JoinFailure{"ShortMiddlePage",
                    [](MultiTiffTest& t) { t.writePage(3, 2, true, filled(233, 9)); }},
        JoinFailure{"EmptyMiddlePage", [](MultiTiffTest& t) { t.writePage(3, 2, true, {}); }},
        JoinFailure{"PageIsAFolder",
                    [](MultiTiffTest& t) {
                        removePage(t, 2);
                        std::filesystem::create_directory(t.pagePath(3, 2, true));
                    }},
        JoinFailure{"StripOutsideTheFile",
                    [](MultiTiffTest& t) {
                        Bytes page = layoutTiff(filled(500, 2));
                        page[150] = 0x7F;  // byte count far past the end
                        t.writePage(3, 2, true, page);
                    }},
        JoinFailure{"LittleEndianLaterPage",
                    [](MultiTiffTest& t) {
                        t.writePage(3, 2, true,
                                    layoutTiff(filled(500, 2), pagemaker::ByteOrder::LittleEndian));
                    }},
        JoinFailure{"LittleEndianFirstPage",
                    [](MultiTiffTest& t) {
                        t.writePage(3, 1, true,
                                    layoutTiff(filled(500, 1), pagemaker::ByteOrder::LittleEndian));
                    }},
        JoinFailure{"FirstAfterLast", [](MultiTiffTest&) {}, 3, 1},
        JoinFailure{
            "OutputIsAFolder",
            [](MultiTiffTest& t) { std::filesystem::create_directory(t.path("out.tif")); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MultiTiffTest, ShortWritesAreFailures) {
    writePage(5, 1, true, layoutTiff(filled(1000, 1)));
    writePage(5, 2, true, layoutTiff(filled(200000, 2)));
    writePage(5, 3, true, layoutTiff(filled(3000, 3)));
    // Inside the first page, inside the kernel-copied strip, in the last byte.
    for (const std::uint64_t limit : {100u, 50000u, 1234u + 200226u + 3226u - 1u}) {
        const int result = runWithFileSizeLimit(limit, [&] { return join(5, 1, 3); });
        EXPECT_EQ(result, 0) << limit;
        EXPECT_FALSE(exists(path("out.tif"))) << limit;
    }
    EXPECT_EQ(runWithFileSizeLimit(1234u + 200226u + 3226u, [&] { return join(5, 1, 3); }), 1);
}

TEST_F(MultiTiffTest, OutputHeldByAnotherWriterIsLeftAlone) {
    writePage(2, 1, true, layoutTiff(filled(1000, 1)));
    writePage(2, 2, true, layoutTiff(filled(2000, 2)));
    const Bytes before(5000, 'x');
    ASSERT_TRUE(pagemaker::writeFile(path("out.tif"), before));
    const int holder = ::open(path("out.tif").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_EQ(join(2, 1, 2), 0);
    ::close(holder);
    EXPECT_EQ(readBytes(path("out.tif")), before);
}

TEST_F(MultiTiffTest, RefusesPathsThatCannotBeConverted) {
    writePage(3, 1, true, layoutTiff(filled(500, 1)));
    const std::u16string folder = folder16();
    const std::u16string out = u16(path("out.tif"));
    const char16_t loneSurrogate[] = {u'x', 0xDC00, 0};
    EXPECT_EQ(multiTiffEncode()(loneSurrogate, 3, 1, 1, folder.c_str()), 0);
    EXPECT_EQ(multiTiffEncode()(u"", 3, 1, 1, folder.c_str()), 0);
    EXPECT_EQ(multiTiffEncode()(out.c_str(), 3, 1, 1, nullptr), 0);
    EXPECT_EQ(multiTiffEncode()(u16(path("none/out.tif")).c_str(), 3, 1, 1, folder.c_str()), 0);
    EXPECT_FALSE(exists(path("out.tif")));
    EXPECT_FALSE(exists(path("none")));
}

}  // namespace
}  // namespace formatstest
