// The simple save against the simulator: the document on show saved whole under a time-stamped
// name in the destination folder, deleted when DeleteFile is set, then the next older one.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

#include "tests/commands/commandstestenv.h"

namespace {

QStringList Outputs(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

}  // namespace

TEST_F(CommandsTest, SimpleSaveDeletesTheNewestThenTheNextOlderUntilNoneIsLeft) {
    settings.SimpleMode = 1;
    settings.boxIndex = realbox::kBox;
    settings.DeleteFile = 1;
    settings.ColorFormat = 1;  // colour as JPEG pages, black-and-white as PDF
    OpenWindow();
    ASSERT_EQ(window().mode(), CMainDlg::ModeSimple);
    ASSERT_EQ(window().control<QLabel>(CMainDlg::IdSimpleFileNumber)->text(), "0403");
    const QString folder = settings.folderPath;
    ProgressOk progress;

    // Newest: the landscape black-and-white page, as PDF.
    window().runCommand(CMainDlg::IdSimpleSave);
    EXPECT_FALSE(StoreHas(realbox::kLandscape));
    QStringList saved = Outputs(folder);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(
        QFileInfo(saved.front()).fileName().contains(QRegularExpression("^\\d{14}\\.pdf$")));
    EXPECT_EQ(CheckedPdfPages(folder + u'/' + saved.front()), 1);
    EXPECT_EQ(window().control<QLabel>(CMainDlg::IdSimpleFileNumber)->text(), "0402");
    EXPECT_EQ(MainDialogProbe::SavedCount(window()), 1);

    // Next older: five black-and-white pages. A save within the same second would find the
    // first one's time-stamped name taken and ask before replacing it: let a second pass.
    QTest::qWait(1100);
    window().runCommand(CMainDlg::IdSimpleSave);
    EXPECT_FALSE(StoreHas(realbox::kMono));
    EXPECT_EQ(window().control<QLabel>(CMainDlg::IdSimpleFileNumber)->text(), "0401");
    EXPECT_EQ(window().control<QLabel>(CMainDlg::IdSimpleFormat)->text(), "JPEG");

    // Oldest: a colour document, even though the newest one was black-and-white.
    window().runCommand(CMainDlg::IdSimpleSave);
    EXPECT_FALSE(StoreHas(realbox::kColour));
    saved = Outputs(folder);
    EXPECT_EQ(saved.filter(QRegularExpression("^\\d{14}-[1-5]\\.jpg$")).size(), 5)
        << saved.join(" ").toStdString();
    EXPECT_EQ(saved.filter(QRegularExpression("^\\d{14}\\.pdf$")).size(), 2)
        << saved.join(" ").toStdString();
    EXPECT_TRUE(window().control<QLabel>(CMainDlg::IdSimpleFileNumber)->text().isEmpty());
    EXPECT_TRUE(MessageTexts().isEmpty()) << MessageTexts().join(" / ").toStdString();

    window().runCommand(CMainDlg::IdSimpleSave);
    EXPECT_EQ(MessageTexts(), QStringList{"No document to save selected."});
    EXPECT_EQ(DeleteRequests(), 3);
}

TEST_F(CommandsTest, SimpleSaveIntoAMissingFolderEndsWithoutAMessage) {
    settings.SimpleMode = 1;
    settings.boxIndex = realbox::kBox;
    settings.DeleteFile = 1;
    settings.folderPath = Output("gone");
    OpenWindow();
    sim_->clearRequests();

    window().runCommand(CMainDlg::IdSimpleSave);

    EXPECT_TRUE(MessageTexts().isEmpty());
    EXPECT_EQ(PageDownloads(), 0);
    EXPECT_TRUE(StoreHas(realbox::kLandscape));
    EXPECT_EQ(MainDialogProbe::SavedCount(window()), 0);
}

TEST_F(CommandsTest, SimpleSaveThatFailsKeepsTheDocumentOnShow) {
    settings.SimpleMode = 1;
    settings.boxIndex = realbox::kBox;
    settings.DeleteFile = 1;
    OpenWindow();
    ASSERT_TRUE(sim_->setMisbehaviour({"drop:loadimg"}));
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSimpleSave);

    EXPECT_TRUE(StoreHas(realbox::kLandscape));
    EXPECT_EQ(DeleteRequests(), 0);
    EXPECT_EQ(MainDialogProbe::SavedCount(window()), 0);
    EXPECT_EQ(window().control<QLabel>(CMainDlg::IdSimpleFileNumber)->text(), "0403");
}
