// The advanced save against the simulator: page range checks, the save-as dialog's filters and
// extension rules, the outputs the real format libraries write, and delete after save.
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "tests/commands/commandstestenv.h"
#include "tools/mfpsim/simulatorstore.h"

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST_F(CommandsTest, ColourDocumentSavedAsPdfHasEveryPage) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    SaveDialogScript dialog;
    dialog.choose(Output("colour.pdf"), 1);
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    ASSERT_EQ(dialog.requests().size(), 1u);
    const SaveFileRequest& request = dialog.requests().front();
    EXPECT_EQ(request.filter, "PDF Files (*.pdf)|*.pdf|JPEG Files (*.jpg;*.jpeg)|*.jpg;*.jpeg||");
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.defaultExtension, "pdf");
    EXPECT_EQ(request.initialFolder, settings.folderPath);
    EXPECT_EQ(CheckedPdfPages(Output("colour.pdf")), 5);
    EXPECT_TRUE(MessageTexts().isEmpty()) << MessageTexts().join(" / ").toStdString();
    // Delete after save is off: the document stays.
    EXPECT_TRUE(StoreHas(realbox::kColour));
    EXPECT_EQ(DeleteRequests(), 0);
}

TEST_F(CommandsTest, MonoDocumentSavedAsTiffHasEveryPage) {
    settings.MonoFormat = 1;
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kMonoIndex));
    SaveDialogScript dialog;
    dialog.choose(Output("letter.tif"), 2);
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    ASSERT_EQ(dialog.requests().size(), 1u);
    EXPECT_EQ(dialog.requests().front().filter,
              "PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif;*.tiff)|*.tif;*.tiff||");
    EXPECT_EQ(dialog.requests().front().filterIndex, 2);  // TIFF preselected by MonoFormat 1
    EXPECT_EQ(DecodedTiffPages(Output("letter.tif")), 5);
    EXPECT_TRUE(MessageTexts().isEmpty()) << MessageTexts().join(" / ").toStdString();
}

TEST_F(CommandsTest, ColourPagesTwoToFourSavedAsJpegGiveThreeFiles) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    ChoosePages("2", "4");
    SaveDialogScript dialog;
    dialog.choose(Output("memo.JPG"), 2);  // capitals are recognised
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    // The pages pass through unchanged, numbered by a counter rather than the page number.
    const std::filesystem::path doc =
        store_->path() / ("box-" + std::to_string(realbox::kBox)) / "doc-00000401";
    for (int i = 1; i <= 3; ++i) {
        const QString output = Output(QStringLiteral("memo-%1.JPG").arg(i));
        const QString page =
            QString::fromStdString((doc / ("page-" + std::to_string(i + 1) + ".jpg")).string());
        EXPECT_TRUE(QFileInfo::exists(output)) << output.toStdString();
        EXPECT_EQ(ReadFile(output), ReadFile(page)) << output.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(Output("memo-4.JPG")));
    EXPECT_FALSE(QFileInfo::exists(Output("memo.JPG")));
    EXPECT_EQ(PageDownloads(), 3);
}

TEST_F(CommandsTest, MonoDocumentWithUnsuitableNameGetsTheFiltersExtension) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kLandscapeIndex));
    SaveDialogScript dialog;
    dialog.choose(Output("scan.jpg"), 2);
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    EXPECT_EQ(DecodedTiffPages(Output("scan.jpg.tif")), 1);
    EXPECT_FALSE(QFileInfo::exists(Output("scan.jpg")));
}

TEST_F(CommandsTest, InvalidPageRangesAreRefusedBeforeTheFileDialog) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));  // 5 pages
    const struct {
        const char* first;
        const char* last;
    } ranges[] = {{"3", "2"}, {"0", "2"}, {"6", "6"}, {"1", "6"}, {"", "3"}};
    SaveDialogScript dialog;
    for (const auto& range : ranges) {
        messages_->clear();
        ChoosePages(range.first, range.last);
        window().runCommand(CMainDlg::IdSave);
        EXPECT_EQ(MessageTexts(), QStringList{"The page number you entered is invalid."})
            << range.first << "-" << range.last;
        ASSERT_EQ(messages_->calls().size(), 1u);
        EXPECT_EQ(messages_->calls().front().caption, "Save");
    }
    EXPECT_TRUE(dialog.requests().empty());
    EXPECT_EQ(PageDownloads(), 0);
}

TEST_F(CommandsTest, SaveWithoutSelectionReportsNoDocument) {
    OpenWindow();
    ClickBox(realbox::kBox);
    SaveDialogScript dialog;
    window().runCommand(CMainDlg::IdSave);
    EXPECT_EQ(MessageTexts(), QStringList{"No document to save selected."});
    EXPECT_TRUE(dialog.requests().empty());
}

TEST_F(CommandsTest, ExistingFileIsAskedAboutOnceAndCancelReturnsToTheDialog) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    ChoosePages("2", "4");
    // The second of the three JPEG outputs exists; so does the PDF.
    for (const char* name : {"old-2.jpg", "old-3.jpg", "old.pdf"}) {
        QFile file(Output(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("mine");
    }
    SaveDialogScript dialog;
    dialog.choose(Output("old.jpg"), 2);
    dialog.choose(Output("old.pdf"), 1);
    dialog.cancel();
    messages_->setAnswer(IDCANCEL);

    window().runCommand(CMainDlg::IdSave);

    EXPECT_EQ(dialog.requests().size(), 3u);
    EXPECT_EQ(MessageTexts(), QStringList({"The file already exists. Replace existing file?",
                                           "The file already exists. Replace existing file?"}));
    EXPECT_EQ(messages_->calls().front().flags, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(ReadFile(Output("old-2.jpg")), "mine");
    EXPECT_EQ(ReadFile(Output("old.pdf")), "mine");
    EXPECT_EQ(PageDownloads(), 0);
}

TEST_F(CommandsTest, UnusableDestinationsLeadBackToTheFileDialog) {
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    SaveDialogScript dialog;
    // A folder that does not exist: the convertor cannot be prepared; no message.
    dialog.choose(Output("missing/a.pdf"), 1);
    // A name longer than any file system allows: "The path is too deep.".
    dialog.choose(Output(QString(300, u'n') + QStringLiteral(".pdf")), 1);
    // A path without any folder part.
    dialog.choose(QStringLiteral("bare.pdf"), 1);
    dialog.cancel();

    window().runCommand(CMainDlg::IdSave);

    EXPECT_EQ(dialog.requests().size(), 4u);
    EXPECT_EQ(MessageTexts(), QStringList{"The path is too deep."});
    EXPECT_FALSE(QFileInfo::exists(Output("missing")));
    EXPECT_EQ(PageDownloads(), 0);
}

TEST_F(CommandsTest, DeleteAfterSaveRemovesTheDocumentOnlyAfterSuccess) {
    settings.DeleteFile = 1;
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    SaveDialogScript dialog;
    dialog.choose(Output("kept.pdf"), 1);
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    EXPECT_EQ(CheckedPdfPages(Output("kept.pdf")), 5);
    EXPECT_FALSE(StoreHas(realbox::kColour));
    EXPECT_EQ(DeleteRequests(), 1);
    // The box is listed again: the deleted document is gone from the list.
    EXPECT_EQ(List()->topLevelItemCount(), 2);
    EXPECT_TRUE(MessageTexts().isEmpty()) << MessageTexts().join(" / ").toStdString();
    // The delete came after every page and after the user's OK.
    const std::vector<LoggedRequest> log = sim_->requests();
    ASSERT_FALSE(log.empty());
    int lastDownload = -1;
    int deleteAt = -1;
    for (int i = 0; i < static_cast<int>(log.size()); ++i) {
        if (log[i].target.rfind("/loadimg.cgi", 0) == 0) {
            lastDownload = i;
        }
        if (log[i].command == "DELETE") {
            deleteAt = i;
        }
    }
    EXPECT_GT(deleteAt, lastDownload);
}

TEST_F(CommandsTest, FailingDeleteAfterSaveStillListsTheBoxAgain) {
    settings.DeleteFile = 1;
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    ASSERT_TRUE(sim_->setMisbehaviour({"refuse:DELETE:811"}));
    sim_->clearRequests();
    SaveDialogScript dialog;
    dialog.choose(Output("refused.pdf"), 1);
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    EXPECT_EQ(CheckedPdfPages(Output("refused.pdf")), 5);
    EXPECT_TRUE(StoreHas(realbox::kColour));
    EXPECT_EQ(MessageTexts(), QStringList{"Unable to connect to the scanner."});
    EXPECT_EQ(DocumentListingRequests(), 1);
    EXPECT_EQ(List()->topLevelItemCount(), 3);
}

TEST_F(CommandsTest, DroppedConnectionDuringPageTwoKeepsTheDocument) {
    settings.DeleteFile = 1;
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kColourIndex));
    ASSERT_TRUE(sim_->setMisbehaviour({"drop:loadimg@1"}));
    sim_->clearRequests();
    SaveDialogScript dialog;
    dialog.choose(Output("broken.pdf"), 1);
    ProgressOk progress;

    window().runCommand(CMainDlg::IdSave);

    EXPECT_TRUE(StoreHas(realbox::kColour));
    EXPECT_EQ(DeleteRequests(), 0);
    EXPECT_FALSE(QFileInfo::exists(Output("broken.pdf")));
    EXPECT_TRUE(MessageTexts().contains("Unable to download the file."))
        << MessageTexts().join(" / ").toStdString();
}

TEST_F(CommandsTest, CancelledSaveKeepsTheDocument) {
    settings.DeleteFile = 1;
    OpenWindow();
    ClickBox(realbox::kBox);
    ASSERT_TRUE(SelectDocument(realbox::kMonoIndex));
    SaveDialogScript dialog;
    dialog.choose(Output("cancelled.pdf"), 1);
    // The user presses Cancel as soon as the dialog shows.
    DialogAnswerer<CProgressDlg> cancel([](CProgressDlg* progress) {
        auto* button = progress->control<QPushButton>(kProgressCancelId);
        if (button && button->isEnabled()) {
            button->click();
        }
    });

    window().runCommand(CMainDlg::IdSave);

    EXPECT_TRUE(StoreHas(realbox::kMono));
    EXPECT_EQ(DeleteRequests(), 0);
}

TEST_F(CommandsTest, PagesChoiceEnablesThePageEditsStartingAtOne) {
    OpenWindow();
    const int pageControls[] = {CMainDlg::IdFromPage, CMainDlg::IdToPage, CMainDlg::IdFromUpDown,
                                CMainDlg::IdToUpDown};
    window().control<QAbstractButton>(CMainDlg::IdRangePages)->click();
    for (int id : pageControls) {
        EXPECT_TRUE(window().control(id)->isEnabled()) << id;
    }
    EXPECT_EQ(window().control<QLineEdit>(CMainDlg::IdFromPage)->text(), "1");
    EXPECT_EQ(window().control<QLineEdit>(CMainDlg::IdToPage)->text(), "1");
    window().control<QAbstractButton>(CMainDlg::IdRangeCurrent)->click();
    for (int id : pageControls) {
        EXPECT_FALSE(window().control(id)->isEnabled()) << id;
    }
}
