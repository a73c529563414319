// The preview pane: layout rule, download and decoding of the page on show, page stepping, the
// page edit and the preview check box, against the simulator with real page images.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "tests/commands/commandstestenv.h"
#include "ui/imagepane.h"
#include "ui/previewlayout.h"

namespace {

struct LayoutCase {
    const char* name;
    int paneWidth, paneHeight, imageWidth, imageHeight;
    QRect expected;
};

const LayoutCase kLayoutCases[] = {
    {"portrait A4 fills the height", 157, 182, 1654, 2339, QRect(15, 1, 129, 182)},
    {"landscape A4 fills the width", 157, 182, 2339, 1654, QRect(1, 37, 157, 111)},
    {"square counts as landscape", 157, 182, 500, 500, QRect(1, 14, 157, 157)},
    {"portrait in a wide pane still fills the height", 300, 100, 100, 200, QRect(126, 1, 50, 100)},
    {"landscape in a tall pane still fills the width", 100, 300, 200, 100, QRect(1, 126, 100, 50)},
    {"empty image", 157, 182, 0, 0, QRect()},
    {"empty pane", 0, 182, 1654, 2339, QRect()},
};

}  // namespace

TEST(PreviewLayout, FollowsThePagesOwnOrientation) {
    for (const LayoutCase& c : kLayoutCases) {
        EXPECT_EQ(PreviewLayout(c.paneWidth, c.paneHeight, c.imageWidth, c.imageHeight), c.expected)
            << c.name;
    }
}

TEST(PreviewLayout, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDivRounded(3, 1, 2), 2);    // 1.5
    EXPECT_EQ(MulDivRounded(5, 1, 4), 1);    // 1.25
    EXPECT_EQ(MulDivRounded(-3, 1, 2), -2);  // -1.5
    EXPECT_EQ(MulDivRounded(3, 1, -2), -2);
    EXPECT_EQ(MulDivRounded(7, 1, 0), 0);
    EXPECT_EQ(MulDivRounded(2000000000, 3, 4), 1500000000);  // product beyond 32 bits
}

class PreviewTest : public CommandsTest {
  protected:
    void OpenOnRealBox() {
        OpenWindow();
        ClickBox(realbox::kBox);
        sim_->clearRequests();
    }
    void SetPreview(bool on) {
        auto* check = window().control<QCheckBox>(CMainDlg::IdPreviewCheck);
        if (check->isChecked() != on) {
            check->click();
        }
    }
    std::vector<int> DownloadedPages() const {
        std::vector<int> pages;
        for (const LoggedRequest& request : sim_->requests()) {
            const auto at = request.target.find("PageNumber=");
            if (request.target.rfind("/loadimg.cgi", 0) == 0 && at != std::string::npos) {
                pages.push_back(std::stoi(request.target.substr(at + 11)));
            }
        }
        return pages;
    }
    QLineEdit* PageEdit() { return window().control<QLineEdit>(CMainDlg::IdPageEdit); }
    const QImage& Image() { return MainDialogProbe::PreviewImage(window()); }
};

TEST_F(PreviewTest, ColourPageIsDecodedWithItsOwnPixels) {
    OpenOnRealBox();
    SetPreview(true);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    EXPECT_EQ(DownloadedPages(), std::vector<int>{1});
    ASSERT_FALSE(Image().isNull());
    const pagemaker::RgbImage& source = ColourPages()[0];
    ASSERT_EQ(Image().size(), QSize(source.width, source.height));
    // JPEG is lossy: compare the mean difference with the source pixels.
    double difference = 0;
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const QColor pixel = Image().pixelColor(x, y);
            const std::uint8_t* rgb =
                &source.pixels[static_cast<std::size_t>((y * source.width + x) * 3)];
            difference += std::abs(pixel.red() - rgb[0]) + std::abs(pixel.green() - rgb[1]) +
                          std::abs(pixel.blue() - rgb[2]);
        }
    }
    EXPECT_LT(difference / (source.width * source.height * 3.0), 8.0);
}

TEST_F(PreviewTest, MonoPageKeepsItsPaletteAndIsLaidOutByTheRule) {
    OpenOnRealBox();
    // The pane's inner size of the layout example: 157 x 182.
    window().control(CMainDlg::IdPreviewPane)->resize(159, 184);
    SetPreview(true);
    ASSERT_TRUE(SelectDocument(realbox::kMonoIndex));
    ASSERT_FALSE(Image().isNull());
    EXPECT_LE(Image().depth(), 8);  // indexed, as the file defines it
    const pagemaker::BitonalImage& source = MonoPages()[0];
    ASSERT_EQ(Image().size(), QSize(source.width, source.height));
    int mismatches = 0;
    for (int y = 0; y < source.height; y += 3) {
        for (int x = 0; x < source.width; x += 3) {
            mismatches += (qGray(Image().pixel(x, y)) < 128) != source.black(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(MainDialogProbe::PreviewRect(window()), QRect(15, 1, 129, 182));

    // The landscape page fills the width.
    ASSERT_TRUE(SelectDocument(realbox::kLandscapeIndex));
    EXPECT_EQ(MainDialogProbe::PreviewRect(window()), QRect(1, 37, 157, 111));

    // Drawn smoothly: the pane shows grey levels where the page is drawn and its own background
    // beside it.
    const QImage shown = window().control(CMainDlg::IdPreviewPane)->grab().toImage();
    const QRect drawn = MainDialogProbe::PreviewRect(window());
    int darker = 0;
    for (int x = drawn.left() + 2; x < drawn.right() - 2; ++x) {
        darker += qGray(shown.pixel(x, drawn.center().y())) < 250 ? 1 : 0;
    }
    EXPECT_GT(darker, 0);
    EXPECT_EQ(qGray(shown.pixel(drawn.center().x(), drawn.top() - 5)),
              qGray(shown.pixel(drawn.center().x(), 10)));
}

TEST_F(PreviewTest, SteppingFetchesOnlyPagesThatChange) {
    OpenOnRealBox();
    SetPreview(true);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));  // 5 pages
    sim_->clearRequests();
    auto* next = window().control<QPushButton>(CMainDlg::IdNextPage);
    auto* previous = window().control<QPushButton>(CMainDlg::IdPreviousPage);

    previous->click();  // stays on page 1: nothing fetched
    EXPECT_EQ(PageEdit()->text(), "1");
    for (int i = 0; i < 4; ++i) {
        next->click();
    }
    EXPECT_EQ(PageEdit()->text(), "5");
    next->click();  // stays on the last page
    EXPECT_EQ(PageEdit()->text(), "5");
    previous->click();
    EXPECT_EQ(PageEdit()->text(), "4");
    EXPECT_EQ(DownloadedPages(), std::vector<int>({2, 3, 4, 5, 4}));

    // With the preview off, stepping costs nothing on the device.
    SetPreview(false);
    EXPECT_TRUE(Image().isNull());
    sim_->clearRequests();
    previous->click();
    EXPECT_EQ(PageEdit()->text(), "3");
    EXPECT_TRUE(DownloadedPages().empty());
    // Switching it on again fetches the current page.
    SetPreview(true);
    EXPECT_EQ(DownloadedPages(), std::vector<int>{3});
    EXPECT_FALSE(Image().isNull());
}

TEST_F(PreviewTest, PageEditClampsAndEnterDoesNotSave) {
    OpenOnRealBox();
    SetPreview(true);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    sim_->clearRequests();
    SaveDialogScript dialog;
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));

    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"9", "5"}, {"0", "1"}, {"3", "3"}, {"", "1"}};
    PageEdit()->setFocus();
    for (const auto& c : cases) {
        PageEdit()->setText(c.typed);
        QTest::keyClick(PageEdit(), Qt::Key_Return);
        EXPECT_EQ(PageEdit()->text(), c.shown) << "typed " << c.typed;
    }
    // Every Enter showed the page, even an unchanged one; none ran Save.
    EXPECT_EQ(DownloadedPages(), std::vector<int>({5, 1, 3, 1}));
    EXPECT_TRUE(dialog.requests().empty());
    EXPECT_TRUE(MessageTexts().isEmpty());

    // Leaving the edit shows the typed page as well.
    PageEdit()->setText("4");
    window().control<QWidget>(CMainDlg::IdDocumentList)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(PageEdit()->text(), "4");
    EXPECT_EQ(DownloadedPages().back(), 4);
}

TEST_F(PreviewTest, FailedDownloadSwitchesThePreviewOff) {
    OpenOnRealBox();
    ASSERT_TRUE(sim_->setMisbehaviour({"status:loadimg:404"}));
    SetPreview(true);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    EXPECT_EQ(MessageTexts(), QStringList{"Unable to download the file."});
    ASSERT_EQ(messages_->calls().size(), 1u);
    EXPECT_EQ(messages_->calls().front().caption, "Communication");
    EXPECT_FALSE(window().control<QCheckBox>(CMainDlg::IdPreviewCheck)->isChecked());
    EXPECT_TRUE(Image().isNull());

    // Off now: stepping fetches nothing until the user switches it on again.
    sim_->clearRequests();
    window().control<QPushButton>(CMainDlg::IdNextPage)->click();
    EXPECT_TRUE(DownloadedPages().empty());
    ASSERT_TRUE(sim_->setMisbehaviour({}));
    SetPreview(true);
    EXPECT_EQ(DownloadedPages(), std::vector<int>{2});
    EXPECT_FALSE(Image().isNull());
}
