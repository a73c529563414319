// Converting real page files: JPEG copies, colour and black-and-white PDF through ostrel and the
// multi-page TIFF through quilmar, each bound by the convertor's own loader. A failed conversion
// must leave nothing at the output path that looks complete, and keep a file that was there.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "convert/colorpdfconvertor.h"
#include "convert/jpgpassthruconvertor.h"
#include "convert/monopdfconvertor.h"
#include "convert/pagefilename.h"
#include "convert/tiffconvertor.h"
#include "tests/convert/convertfixture.h"

using namespace convert;
using namespace converttest;

namespace {

constexpr std::uint32_t kDocument = 0x1A2F3;

class ConvertTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(work_.isValid());
        ASSERT_TRUE(out_.isValid());
    }
    QString work() const { return work_.path(); }
    QString out() const { return out_.path(); }
    void WritePages(int first, int last, bool monochrome) {
        for (int page = first; page <= last; ++page) {
            ASSERT_FALSE(WritePage(work(), kDocument, page, monochrome).isEmpty());
        }
    }
    // Prepare, work folder and range as the save command sets them.
    void Ready(IConvertor& convertor, const QString& name, int first, int last) {
        ASSERT_EQ(convertor.Prepare(out(), name), kOk);
        ASSERT_EQ(convertor.SetWorkFolder(work()), kOk);
        ASSERT_EQ(convertor.SetPageRange(first, last), kOk);
    }

    QTemporaryDir work_;
    QTemporaryDir out_;
};

TEST_F(ConvertTest, JpegPagesAreCopiedWholeUnderCounterNames) {
    WritePages(2, 4, false);
    CJpgPassthruConvertor convertor;
    Ready(convertor, QStringLiteral("name.jpg"), 2, 4);
    // An existing file is replaced without asking.
    ASSERT_TRUE(WriteAll(out() + QStringLiteral("/name-2.jpg"), "old"));

    ASSERT_EQ(convertor.Convert(nullptr, kDocument), kOk);
    for (int counter = 1; counter <= 3; ++counter) {
        const QString source = work() + QStringLiteral("/0001A2F3_%1.jpg").arg(counter + 1);
        const QString copy = out() + QStringLiteral("/name-%1.jpg").arg(counter);
        EXPECT_EQ(ReadAll(copy), ReadAll(source)) << copy.toStdString();
    }
    EXPECT_EQ(Entries(out()),
              (QStringList{QStringLiteral("name-1.jpg"), QStringLiteral("name-2.jpg"),
                           QStringLiteral("name-3.jpg")}));
}

TEST_F(ConvertTest, JpegCopyStopsAtTheFirstMissingPage) {
    WritePages(1, 1, false);
    WritePages(3, 3, false);
    CJpgPassthruConvertor convertor;
    Ready(convertor, QStringLiteral("scan.jpg"), 1, 3);
    // The system's "file not found" as a status code.
    EXPECT_EQ(convertor.Convert(nullptr, kDocument), StatusFromSystemError(ENOENT));
    // The copy before the failure stays; nothing for the failed page or after it, no leftovers.
    EXPECT_EQ(Entries(out()), QStringList{QStringLiteral("scan-1.jpg")});
}

TEST_F(ConvertTest, JpegEmptyRangeCopiesNothing) {
    CJpgPassthruConvertor convertor;
    Ready(convertor, QStringLiteral("scan.jpg"), 5, 4);
    EXPECT_EQ(convertor.Convert(nullptr, kDocument), kOk);
    EXPECT_TRUE(Entries(out()).isEmpty());
}

TEST_F(ConvertTest, ColourPdfOfTheRange) {
    WritePages(2, 4, false);
    CColorPdfConvertor convertor;
    Ready(convertor, QStringLiteral("memo.pdf"), 2, 4);
    const std::vector<PageImageInfo> pages = PageInfos(2, 4);
    ASSERT_EQ(convertor.Convert(pages.data(), kDocument), kOk);
    EXPECT_EQ(CheckedPdfPages(out() + QStringLiteral("/memo.pdf")), 3);
    EXPECT_EQ(Entries(out()), QStringList{QStringLiteral("memo.pdf")});
}

TEST_F(ConvertTest, BlackAndWhitePdfOfTheRange) {
    WritePages(1, 2, true);
    CMonoPdfConvertor convertor;
    Ready(convertor, QStringLiteral("memo.pdf"), 1, 2);
    const std::vector<PageImageInfo> pages = PageInfos(1, 2);
    ASSERT_EQ(convertor.Convert(pages.data(), kDocument), kOk);
    EXPECT_EQ(CheckedPdfPages(out() + QStringLiteral("/memo.pdf")), 2);
}

TEST_F(ConvertTest, PdfFailureLeavesNothingAndKeepsAnEarlierFile) {
    WritePages(1, 3, false);
    const QString target = out() + QStringLiteral("/memo.pdf");
    ASSERT_TRUE(WriteAll(target, "the user's earlier file"));

    CColorPdfConvertor convertor;
    Ready(convertor, QStringLiteral("memo.pdf"), 1, 3);
    // Page 3's image information never arrived: the entry stays zero and must not become a page
    // of made-up size; the library refuses it.
    std::vector<PageImageInfo> pages = PageInfos(1, 3);
    pages[3] = PageImageInfo{0, 0, 0, 0};
    EXPECT_EQ(convertor.Convert(pages.data(), kDocument), kFail);
    EXPECT_EQ(ReadAll(target), QByteArray("the user's earlier file"));
    EXPECT_EQ(Entries(out()), QStringList{QStringLiteral("memo.pdf")});

    EXPECT_EQ(convertor.Convert(nullptr, kDocument), kPointer);
}

TEST_F(ConvertTest, PdfAndTiffNeedABoundLibraryAndAnOutput) {
    const std::vector<PageImageInfo> pages = PageInfos(1, 1);
    CColorPdfConvertor pdf;
    CTiffConvertor tiff;
    EXPECT_EQ(pdf.Convert(pages.data(), kDocument), kFail);
    EXPECT_EQ(tiff.Convert(pages.data(), kDocument), kFail);
    EXPECT_TRUE(Entries(out()).isEmpty());
}

TEST_F(ConvertTest, MultiPageTiffOfTheRange) {
    WritePages(1, 3, true);
    CTiffConvertor convertor;
    Ready(convertor, QStringLiteral("scan.tif"), 1, 3);
    ASSERT_EQ(convertor.Convert(nullptr, kDocument), kOk);
    EXPECT_EQ(TiffDirectories(out() + QStringLiteral("/scan.tif")), 3);
    EXPECT_EQ(Entries(out()), QStringList{QStringLiteral("scan.tif")});
}

TEST_F(ConvertTest, TiffFailuresLeaveNothingAndKeepAnEarlierFile) {
    const QString target = out() + QStringLiteral("/scan.tif");
    struct Case {
        const char* name;
        std::function<void(const QString& work)> spoil;
    };
    const Case cases[] = {
        {"missing page",
         [](const QString& w) { QFile::remove(PageFilePath(w, kDocument, 2, true)); }},
        {"short page",
         [](const QString& w) {
             WriteAll(PageFilePath(w, kDocument, 3, true), QByteArray(100, 'x'));
         }},
    };
    for (const Case& c : cases) {
        WritePages(1, 3, true);
        c.spoil(work());
        ASSERT_TRUE(WriteAll(target, "earlier"));
        CTiffConvertor convertor;
        Ready(convertor, QStringLiteral("scan.tif"), 1, 3);
        EXPECT_EQ(convertor.Convert(nullptr, kDocument), kFail) << c.name;
        EXPECT_EQ(ReadAll(target), QByteArray("earlier")) << c.name;
        EXPECT_EQ(Entries(out()), QStringList{QStringLiteral("scan.tif")}) << c.name;
    }
}

}  // namespace
