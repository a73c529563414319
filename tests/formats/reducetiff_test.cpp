// Reducing a page TIFF to its strip, in both byte orders, and refusing files off the layout.
#include "ostrel/reducetiff.h"
#include "tests/formats/formatsfixture.h"

namespace formatstest {
namespace {

using ostrel::ReduceResult;
using ostrel::ReduceTiffToStrip;

Bytes sampleStrip(std::size_t size) {
    Bytes strip(size);
    for (std::size_t i = 0; i < size; ++i) {
        strip[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return strip;
}

TEST_F(FormatsTest, ReducesBothByteOrdersToTheStrip) {
    for (const auto order : {pagemaker::ByteOrder::BigEndian, pagemaker::ByteOrder::LittleEndian}) {
        const Bytes strip = sampleStrip(8000);
        const Bytes page = layoutTiff(strip, order);
        // The layout's own numbers: strip at 234 (0xEA), 8000 (0x1F40) bytes long.
        const bool big = order == pagemaker::ByteOrder::BigEndian;
        EXPECT_EQ(Bytes(page.begin() + 102, page.begin() + 106),
                  big ? Bytes({0, 0, 0, 0xEA}) : Bytes({0xEA, 0, 0, 0}));
        EXPECT_EQ(Bytes(page.begin() + 150, page.begin() + 154),
                  big ? Bytes({0, 0, 0x1F, 0x40}) : Bytes({0x40, 0x1F, 0, 0}));
        const std::string file = path("page.tif");
        ASSERT_TRUE(pagemaker::writeFile(file, page));
        EXPECT_EQ(ReduceTiffToStrip(file), ReduceResult::Reduced);
        EXPECT_EQ(readBytes(file), strip);
    }
}

TEST_F(FormatsTest, ReducesAStripThatEndsBeforeTheFile) {
    Bytes page = layoutTiff(sampleStrip(100));
    page.resize(page.size() + 50, 0xAA);  // padding after the strip is dropped
    const std::string file = path("page.tif");
    ASSERT_TRUE(pagemaker::writeFile(file, page));
    EXPECT_EQ(ReduceTiffToStrip(file), ReduceResult::Reduced);
    EXPECT_EQ(readBytes(file), sampleStrip(100));
}

struct BadLayout {
    const char* name;
    std::size_t size;           // bytes of the file kept
    std::uint32_t stripOffset;  // written at 102, big-endian
    std::uint32_t byteCount;    // written at 150, big-endian
};

class ReduceRefusal : public FormatsTest, public ::testing::WithParamInterface<BadLayout> {};

TEST_P(ReduceRefusal, LeavesTheFileUntouched) {
    const BadLayout bad = GetParam();
    Bytes page = layoutTiff(sampleStrip(1000));
    const auto put = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            page[at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(value >> (24 - 8 * i));
        }
    };
    put(102, bad.stripOffset);
    put(150, bad.byteCount);
    page.resize(bad.size);
    const std::string file = path("page.tif");
    ASSERT_TRUE(pagemaker::writeFile(file, page));
    EXPECT_EQ(ReduceTiffToStrip(file), ReduceResult::NotPageLayout);
    EXPECT_EQ(readBytes(file), page);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ReduceRefusal,
                         ::testing::Values(BadLayout{"ShorterThanDirectory", 233, 234, 0},
                                           BadLayout{"EmptyFile", 0, 234, 1000},
                                           BadLayout{"StripPastTheEnd", 1234, 234, 1001},
                                           BadLayout{"OffsetPastTheEnd", 1234, 5000, 10},
                                           BadLayout{"CountWrapsAround", 1234, 234, 0xFFFFFFFF},
                                           BadLayout{"EmptyStrip", 1234, 234, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatsTest, MissingPageFileIsNotCreated) {
    const std::string file = path("absent.tif");
    EXPECT_EQ(ReduceTiffToStrip(file), ReduceResult::CannotOpen);
    EXPECT_FALSE(exists(file));
}

}  // namespace
}  // namespace formatstest
