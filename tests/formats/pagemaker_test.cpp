// The page maker makes page files that independent readers accept, in the fixed page layout.
#include "tests/formats/formatsfixture.h"

#include <QImage>

namespace formatstest {
namespace {

using pagemaker::ByteOrder;

class PageMakerTest : public FormatsTest, public ::testing::WithParamInterface<ByteOrder> {};

TEST_P(PageMakerTest, BlackWhitePageHasTheFixedLayoutAndDecodesToItsPixels) {
    const ByteOrder order = GetParam();
    const bool big = order == ByteOrder::BigEndian;
    const auto pixels = pagemaker::textLikePattern(301, 419, 5);
    const Bytes page = pagemaker::makeBlackWhiteTiff(pixels, 200, 300, order);
    ASSERT_GT(page.size(), 234u);
    const auto read32 = big ? big32 : little32;

    EXPECT_EQ(page[0], big ? 'M' : 'I');
    EXPECT_EQ(page[1], page[0]);
    EXPECT_EQ(big ? page[9] : page[8], 17);           // directory entries
    EXPECT_EQ(read32(page, 102), 234u);               // strip offset
    EXPECT_EQ(read32(page, 150), page.size() - 234);  // strip byte count
    EXPECT_EQ(read32(page, 214), 0u);                 // no next directory

    const std::string file = path("page.tif");
    ASSERT_TRUE(pagemaker::writeFile(file, page));
    std::string info;
    ASSERT_EQ(run("tiffinfo " + file, &info), 0) << info;
    EXPECT_NE(info.find("CCITT Group 4"), std::string::npos) << info;
    EXPECT_NE(info.find("Resolution: 200, 300 pixels/inch"), std::string::npos) << info;
    EXPECT_NE(info.find("lsb-to-msb"), std::string::npos) << info;

    const auto decoded = decodeTiffPages(file);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].width, 301);
    EXPECT_EQ(decoded[0].height, 419);
    EXPECT_TRUE(decoded[0].bits == pixels.bits);
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, PageMakerTest,
                         ::testing::Values(ByteOrder::BigEndian, ByteOrder::LittleEndian));

TEST_F(FormatsTest, ColourPageIsAJpegWithItsResolution) {
    const auto pixels = pagemaker::texturedPattern(320, 240, 1);
    const Bytes jpeg = pagemaker::makeColourJpeg(pixels, 200, 200);
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const QImage image = QImage::fromData(jpeg.data(), static_cast<int>(jpeg.size()), "JPEG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(320, 240));
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 200, 1);
}

TEST_F(FormatsTest, TextPageIsA4AndReadable) {
    const QImage page = pagemaker::renderTextPage("Quarterly report", {"First line"}, 100);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.size(), QSize(827, 1169));
    EXPECT_EQ(pagemaker::a4Width(300), 2480);
    EXPECT_EQ(pagemaker::a4Height(300), 3508);
    // Ink lies on the page, but most of it stays paper.
    const auto bits = pagemaker::toBitonal(page);
    int black = 0;
    for (int y = 0; y < bits.height; ++y) {
        for (int x = 0; x < bits.width; ++x) {
            black += bits.black(x, y);
        }
    }
    EXPECT_GT(black, 1000);
    EXPECT_LT(black, bits.width * bits.height / 5);
}

TEST(PageMaker, RefusesWhatIsNoPage) {
    EXPECT_TRUE(pagemaker::makeBlackWhiteTiff(pagemaker::BitonalImage(), 200, 200).empty());
    EXPECT_TRUE(pagemaker::makeBlackWhiteTiff(pagemaker::BitonalImage(8, 8), 0, 200).empty());
    EXPECT_TRUE(pagemaker::makeColourJpeg(pagemaker::RgbImage(), 200, 200).empty());
    EXPECT_EQ(pagemaker::pageFileName(0x1A2F3, 3, false), "0001A2F3_3.jpg");
    EXPECT_EQ(pagemaker::pageFileName(0xFFFFFFFF, 12, true), "FFFFFFFF_12.tif");
}

}  // namespace
}  // namespace formatstest
