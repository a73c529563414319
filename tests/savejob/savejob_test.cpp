// A save from start to end against the device simulator: the worker downloads each page through
// the real transport, the convertor writes the output with the real format libraries, and the
// progress dialog reports it; failures, cancellation and Escape as the user meets them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

#include "app/texts/texttables.h"
#include "convert/colorpdfconvertor.h"
#include "convert/jpgpassthruconvertor.h"
#include "convert/monopdfconvertor.h"
#include "convert/tiffconvertor.h"
#include "device/deviceaccess.h"
#include "platform/messageboxrecorder.h"
#include "tests/convert/convertfixture.h"
#include "tests/savejob/savejobfixture.h"
#include "ui/progress/runsavejob.h"

using namespace convert;
using namespace converttest;

namespace {

// Prepares the convertor as the save command does: destination, the save folder, the range.
void Ready(IConvertor& convertor, const QString& folder, const QString& name, int first, int last,
           const QString& saveFolder) {
    ASSERT_EQ(convertor.Prepare(folder, name), kOk);
    ASSERT_EQ(convertor.SetWorkFolder(saveFolder), kOk);
    ASSERT_EQ(convertor.SetPageRange(first, last), kOk);
}

TEST_F(SaveJobTest, ThreePagesToPdfMoveTheBarThenOkCountsTheSave) {
    StartDevice(3, false);
    MessageBoxRecorder messages;
    CColorPdfConvertor convertor;
    Ready(convertor, out(), QStringLiteral("memo.pdf"), 1, 3, SaveFolderPath());
    // Escape in the middle of the job must not close the dialog.
    bool openAfterEscape = false;
    owner.SaveJobRecord().downloadPage = [&](const MFPInfo& m, int index, int page,
                                             PageImageInfo* info) {
        if (page == 2) {
            OnUiThread([&] {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(&dialog(), &escape);
                dialog().close();
                openAfterEscape = dialog().isVisible();
            });
        }
        return DeviceAccess::DownloadPageForSave(m, index, page, info);
    };

    ASSERT_TRUE(Save(convertor));
    EXPECT_TRUE(openAfterEscape);
    std::vector<int> moves;
    for (int position : barPositions) {
        if (position > 0) {
            moves.push_back(position);
        }
    }
    EXPECT_EQ(moves, (std::vector<int>{30, 60, 90, 100}));
    EXPECT_TRUE(statusTexts.contains(QStringLiteral("Saved successfully")))
        << statusTexts.join(u'|').toStdString();
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(DownloadedPages(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(CheckedPdfPages(out() + QStringLiteral("/memo.pdf")), 3);
    // The page files are gone after the save; the job is reset.
    EXPECT_TRUE(Entries(SaveFolderPath()).isEmpty());
    EXPECT_EQ(owner.SaveJobRecord().state, kSaveJobFinished);
    EXPECT_EQ(owner.SaveJobRecord().documentIndex, -1);
}

TEST_F(SaveJobTest, SecondSaveOpensWithNowSaving) {
    StartDevice(2, true);
    CTiffConvertor first;
    Ready(first, out(), QStringLiteral("first.tif"), 1, 2, SaveFolderPath());
    ASSERT_TRUE(Save(first));
    EXPECT_EQ(TiffDirectories(out() + QStringLiteral("/first.tif")), 2);

    QString statusAtStart;
    bool okEnabled = true;
    bool cancelEnabled = false;
    owner.SaveJobRecord().downloadPage = [&](const MFPInfo& m, int index, int page,
                                             PageImageInfo* info) {
        if (page == 1) {
            OnUiThread([&] {
                statusAtStart = dialog().control<QLabel>(kProgressStatusId)->text();
                okEnabled = dialog().control<QPushButton>(kProgressOkId)->isEnabled();
                cancelEnabled = dialog().control<QPushButton>(kProgressCancelId)->isEnabled();
            });
        }
        return DeviceAccess::DownloadPageForSave(m, index, page, info);
    };
    CMonoPdfConvertor second;
    Ready(second, out(), QStringLiteral("second.pdf"), 1, 2, SaveFolderPath());
    ASSERT_TRUE(Save(second));
    EXPECT_EQ(statusAtStart, QStringLiteral("Now Saving Document(s)"));
    EXPECT_FALSE(okEnabled);
    EXPECT_TRUE(cancelEnabled);
    EXPECT_EQ(CheckedPdfPages(out() + QStringLiteral("/second.pdf")), 2);
}

TEST_F(SaveJobTest, JpegPagesArriveAsCopiesOfTheDevicePages) {
    StartDevice(3, false);
    CJpgPassthruConvertor convertor;
    Ready(convertor, out(), QStringLiteral("scan.jpg"), 2, 3, SaveFolderPath());
    ASSERT_TRUE(Save(convertor));
    EXPECT_EQ(DownloadedPages(), (std::vector<int>{2, 3}));
    EXPECT_EQ(ReadAll(out() + QStringLiteral("/scan-1.jpg")).toStdString(), StoredPage(2));
    EXPECT_EQ(ReadAll(out() + QStringLiteral("/scan-2.jpg")).toStdString(), StoredPage(3));
}

TEST_F(SaveJobTest, HundredPagesMoveTheBarBeforeTheEnd) {
    StartDevice(100, false);
    CJpgPassthruConvertor convertor;
    Ready(convertor, out(), QStringLiteral("long.jpg"), 1, 100, SaveFolderPath());
    ASSERT_TRUE(Save(convertor));
    // Page 50 of 100 shows 45, page 100 shows 90, then completion 100.
    ASSERT_GE(barPositions.size(), 3u);
    EXPECT_NE(std::find(barPositions.begin(), barPositions.end(), 45), barPositions.end());
    EXPECT_EQ(barPositions[barPositions.size() - 2], 90);
    EXPECT_EQ(barPositions.back(), 100);
    EXPECT_EQ(Entries(out()).size(), 100);
}

struct FailureCase {
    const char* name;
    std::vector<std::string> misbehave;
    bool failFirstPageAtOnce;  // the worker's hook fails page 1 without asking the device
    const char* text;
    const char* caption;
    std::vector<int> downloaded;
    bool pagesRemoved;  // the save folder is emptied (after a failed conversion)
};

class SaveFailureTest : public SaveJobTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(SaveFailureTest, ShowsTheMessageClosesAndSavesNothing) {
    const FailureCase& c = GetParam();
    StartDevice(3, false, c.misbehave);
    MessageBoxRecorder messages;
    CColorPdfConvertor convertor;
    Ready(convertor, out(), QStringLiteral("memo.pdf"), 1, 3, SaveFolderPath());
    if (c.failFirstPageAtOnce) {
        owner.SaveJobRecord().downloadPage = [](const MFPInfo&, int, int, PageImageInfo*) {
            return 0;
        };
    }

    EXPECT_FALSE(Save(convertor));
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].text, QString::fromUtf8(c.text));
    EXPECT_EQ(messages.calls()[0].caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(messages.calls()[0].owner, &dialog());
    EXPECT_EQ(dialog().m_statusText, QStringLiteral("Failed to save the file."));
    EXPECT_FALSE(statusTexts.contains(QStringLiteral("Saved successfully")));
    EXPECT_EQ(DownloadedPages(), c.downloaded);
    // No output, not even a partial one; the job is reset.
    EXPECT_TRUE(Entries(out()).isEmpty()) << Entries(out()).join(u',').toStdString();
    EXPECT_EQ(owner.SaveJobRecord().state, kSaveJobFinished);
    if (c.pagesRemoved) {
        EXPECT_TRUE(Entries(SaveFolderPath()).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SaveFailureTest,
    testing::Values(FailureCase{"SecondPageDownloadFails",
                                {"refuse:loadimg:404@1"},
                                false,
                                "Unable to download the file.",
                                "Communication",
                                {1, 2},
                                false},
                    FailureCase{"FirstPageFailsBeforeTheDialogShows",
                                {},
                                true,
                                "Unable to download the file.",
                                "Communication",
                                {},
                                false},
                    // The device refuses the image information: the pages keep zero sizes, which
                    // the PDF writer refuses instead of inventing a page size.
                    FailureCase{"ConversionFails",
                                {"refuse:GETIMAGEINFO:808"},
                                false,
                                "Failed to save the file.",
                                "Save",
                                {1, 2, 3},
                                true}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(SaveJobTest, CancelDuringPageTwoStopsAfterItWithoutAMessage) {
    StartDevice(5, false);
    MessageBoxRecorder messages;
    CColorPdfConvertor convertor;
    Ready(convertor, out(), QStringLiteral("memo.pdf"), 1, 5, SaveFolderPath());
    bool cancelGreyed = false;
    bool stillOpen = false;
    owner.SaveJobRecord().downloadPage = [&](const MFPInfo& m, int index, int page,
                                             PageImageInfo* info) {
        if (page == 2) {
            OnUiThread([&] {
                auto* cancel = dialog().control<QPushButton>(kProgressCancelId);
                cancel->click();
                cancelGreyed = !cancel->isEnabled();
                stillOpen = dialog().isVisible();
            });
        }
        return DeviceAccess::DownloadPageForSave(m, index, page, info);
    };

    EXPECT_FALSE(Save(convertor));
    EXPECT_TRUE(cancelGreyed);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(DownloadedPages(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(Entries(SaveFolderPath()).isEmpty());
    EXPECT_TRUE(Entries(out()).isEmpty());
    EXPECT_EQ(owner.SaveJobRecord().cancelRequested, 0);
}

TEST_F(SaveJobTest, NoDocumentNoJob) {
    MessageBoxRecorder messages;
    CColorPdfConvertor convertor;
    EXPECT_FALSE(RunSaveJob(owner, -1, &convertor));
    EXPECT_FALSE(RunSaveJob(owner, 0, nullptr));
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(messages.calls().empty());
}

struct WaitingCase {
    std::int32_t mode;
    const char* text;
};

class WaitingWindowTest : public SaveJobTest, public testing::WithParamInterface<WaitingCase> {};

TEST_P(WaitingWindowTest, ShowsItsTextOnlyAndCannotBeClosed) {
    CProgressDlg window(GetParam().mode);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.control<QLabel>(kProgressStatusId)->text(),
              QString::fromUtf8(GetParam().text));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Progress"));
    EXPECT_FALSE(window.control<QProgressBar>(kProgressBarId)->isVisible());
    EXPECT_FALSE(window.control<QPushButton>(kProgressOkId)->isEnabled());
    EXPECT_FALSE(window.control<QPushButton>(kProgressCancelId)->isEnabled());
    window.reject();
    EXPECT_TRUE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WaitingWindowTest,
    testing::Values(WaitingCase{kProgressPreparingSimpleMode, "Now Preparing Simple Mode"},
                    WaitingCase{kProgressStartingApplication, "Now Starting Application"}));

}  // namespace
