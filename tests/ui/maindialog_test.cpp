// The advanced mode of the main window against the simulator: box tree, document list,
// password rules, mode switching and the window size.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

#include "app/folders/workfolders.h"
#include "app/settings/profilefilename.h"
#include "tests/ui/uitestenv.h"
#include "ui/passworddialog.h"

namespace {

QTreeWidget* Tree(CMainDlg& window) {
    return window.control<QTreeWidget>(CMainDlg::IdBoxTree);
}
QTreeWidget* List(CMainDlg& window) {
    return window.control<QTreeWidget>(CMainDlg::IdDocumentList);
}

// Clicks the tree item of box-list entry `index` (0 the root) with the mouse.
void ClickBox(CMainDlg& window, int index) {
    QTreeWidget* tree = Tree(window);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    QTreeWidgetItem* item = index == 0 ? root : root->child(index - 1);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// Answers the password dialog with `text`, checking "Save Password" when `save`.
std::function<void(CPasswordDlg*)> EnterPassword(const QString& text, bool save) {
    return [text, save](CPasswordDlg* dialog) {
        dialog->control<QLineEdit>(CPasswordDlg::IdPasswordEdit)->setText(text);
        dialog->control<QCheckBox>(CPasswordDlg::IdSavePassword)->setChecked(save);
        dialog->control<QPushButton>(CPasswordDlg::IdOk)->click();
    };
}

}  // namespace

TEST_F(UiTest, OpensInAdvancedModeWithTheBoxesOfTheDevice) {
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(dlg.mode(), CMainDlg::ModeAdvanced);
    QTreeWidgetItem* root = Tree(dlg)->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "Test MFP");
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0), "Scans");
    EXPECT_EQ(root->child(1)->text(0), "Locked");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(Tree(dlg)->currentItem(), root);
    // Opening lists no box and no document: the selection's listing is used.
    EXPECT_TRUE(sim_->requests().empty());
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
    EXPECT_TRUE(dlg.control<QAction>(CMainDlg::IdMenuAdvancedMode)->isChecked());
    EXPECT_FALSE(dlg.control<QAction>(CMainDlg::IdMenuAdvancedMode)->isEnabled());
    EXPECT_FALSE(dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->isChecked());
    EXPECT_TRUE(dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->isEnabled());
    for (int id :
         {CMainDlg::IdPreviousPage, CMainDlg::IdNextPage, CMainDlg::IdPageEdit,
          CMainDlg::IdFromPage, CMainDlg::IdToPage, CMainDlg::IdFromUpDown, CMainDlg::IdToUpDown}) {
        EXPECT_FALSE(dlg.control(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(dlg.control<QAction>(CMainDlg::IdSystemAbout) != nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Velnor");
    const QRect work = dlg.screen()->availableGeometry();
    EXPECT_LE((dlg.frameGeometry().center() - work.center()).manhattanLength(), 2);
}

TEST_F(UiTest, ClickOnABoxListsItsDocumentsInReverseTableOrder) {
    CMainDlg& dlg = OpenWindow();
    ClickBox(dlg, teststore::kScansBox);
    QTreeWidget* list = List(dlg);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const char* colours[] = {"B/W", "Color", ""};
    for (int row = 0; row < 3; ++row) {
        const int index = 2 - row;
        QTreeWidgetItem* item = list->topLevelItem(row);
        EXPECT_EQ(item->data(0, Qt::UserRole).toInt(), index);
        EXPECT_EQ(item->text(0), teststore::kScansNames[index]);
        EXPECT_EQ(item->text(1), teststore::kScansTimes[index]);
        EXPECT_EQ(item->text(2), QString::number(teststore::kScansPages[index]));
        EXPECT_EQ(item->text(3), colours[index]) << "format " << teststore::kScansFormats[index];
    }
    EXPECT_EQ(list->headerItem()->text(0), "File Number");
    EXPECT_EQ(list->headerItem()->text(3), "B/W / Color");
    EXPECT_EQ(DocumentListingRequests(), 1);
    EXPECT_TRUE(messages_->calls().empty());
}

TEST_F(UiTest, ClickOnTheRootOrEmptySpaceListsNothing) {
    CMainDlg& dlg = OpenWindow();
    ClickBox(dlg, teststore::kScansBox);
    ASSERT_EQ(List(dlg)->topLevelItemCount(), 3);
    sim_->clearRequests();

    ClickBox(dlg, 0);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);

    ClickBox(dlg, teststore::kScansBox);
    ASSERT_EQ(List(dlg)->topLevelItemCount(), 3);
    QTreeWidget* tree = Tree(dlg);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(5, tree->viewport()->height() - 3));
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
    EXPECT_EQ(tree->selectedItems().size(), 0);
    EXPECT_EQ(DocumentListingRequests(), 1);
}

TEST_F(UiTest, SelectingADocumentShowsItsPageCountAndEnablesThePageControls) {
    CMainDlg& dlg = OpenWindow();
    ClickBox(dlg, teststore::kScansBox);
    QTreeWidget* list = List(dlg);
    // Row 1 is table entry 1, the 12-page document.
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(dlg.control<QLabel>(CMainDlg::IdPageCount)->text(), "12page(s)");
    EXPECT_EQ(dlg.control<QLineEdit>(CMainDlg::IdPageEdit)->text(), "1");
    for (int id : {CMainDlg::IdPreviousPage, CMainDlg::IdNextPage, CMainDlg::IdPageEdit}) {
        EXPECT_TRUE(dlg.control(id)->isEnabled()) << id;
    }
    list->clearSelection();
    EXPECT_EQ(dlg.control<QLabel>(CMainDlg::IdPageCount)->text(), "");
    for (int id : {CMainDlg::IdPreviousPage, CMainDlg::IdNextPage, CMainDlg::IdPageEdit}) {
        EXPECT_FALSE(dlg.control(id)->isEnabled()) << id;
    }
    // Listing another box deletes the items and disables the controls again.
    list->setCurrentItem(list->topLevelItem(0));
    ClickBox(dlg, teststore::kEmptyBox);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_FALSE(dlg.control(CMainDlg::IdPreviousPage)->isEnabled());
    EXPECT_EQ(dlg.control<QLabel>(CMainDlg::IdPageCount)->text(), "");
}

TEST_F(UiTest, AProtectedBoxAsksForThePasswordEachTimeUnlessItIsSaved) {
    CMainDlg& dlg = OpenWindow();
    DialogAnswerer<CPasswordDlg> answerer(EnterPassword("1234", false));

    ClickBox(dlg, teststore::kLockedBox);
    ClickBox(dlg, teststore::kLockedBox);
    EXPECT_EQ(answerer.count(), 2);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 1);
    EXPECT_EQ(GetPasswordInfo().password, "1234");
    EXPECT_EQ(GetPasswordInfo().savePassword, 0);

    answerer.setAnswer(EnterPassword("1234", true));
    ClickBox(dlg, teststore::kLockedBox);
    EXPECT_EQ(answerer.count(), 3);
    ClickBox(dlg, teststore::kLockedBox);
    ClickBox(dlg, teststore::kLockedBox);
    EXPECT_EQ(answerer.count(), 3);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 1);
    EXPECT_EQ(DocumentListingRequests(), 5);
    EXPECT_TRUE(messages_->calls().empty());

    // A box without a password never asks.
    ClickBox(dlg, teststore::kScansBox);
    EXPECT_EQ(answerer.count(), 3);
}

TEST_F(UiTest, CancellingThePasswordDialogListsNothing) {
    CMainDlg& dlg = OpenWindow();
    DialogAnswerer<CPasswordDlg> answerer([](CPasswordDlg* dialog) {
        dialog->control<QLineEdit>(CPasswordDlg::IdPasswordEdit)->setText("55");
        dialog->control<QPushButton>(CPasswordDlg::IdCancel)->click();
    });
    ClickBox(dlg, teststore::kLockedBox);
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(DocumentListingRequests(), 0);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
    EXPECT_EQ(GetPasswordInfo(), PasswordInfo());
}

TEST_F(UiTest, ARefusedSavedPasswordClearsTheSavedFlagSoTheNextClickAsks) {
    password.password = "9999";
    password.savePassword = 1;
    CMainDlg& dlg = OpenWindow();
    DialogAnswerer<CPasswordDlg> answerer(EnterPassword("1234", false));

    ClickBox(dlg, teststore::kLockedBox);
    EXPECT_EQ(answerer.count(), 0);
    ASSERT_EQ(messages_->calls().size(), 1u);
    EXPECT_EQ(messages_->calls()[0].text, "Unable to connect to the scanner.");
    EXPECT_EQ(messages_->calls()[0].caption, "Communication");
    EXPECT_EQ(GetPasswordInfo().savePassword, 0);
    EXPECT_EQ(GetPasswordInfo().password, "9999");
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);

    ClickBox(dlg, teststore::kLockedBox);
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 1);
}

TEST_F(UiTest, DeviceErrorsNameDownloadOrConnectionFailures) {
    CMainDlg& dlg = OpenWindow();
    const std::pair<int, const char*> cases[] = {
        {333, "Unable to download the file."},      {338, "Unable to download the file."},
        {332, "Unable to connect to the scanner."}, {339, "Unable to connect to the scanner."},
        {807, "Unable to connect to the scanner."}, {0, "Unable to connect to the scanner."}};
    for (auto [code, text] : cases) {
        messages_->clear();
        dlg.ReportDeviceError(code);
        ASSERT_EQ(messages_->calls().size(), 1u) << code;
        EXPECT_EQ(messages_->calls()[0].text, text) << code;
        EXPECT_EQ(messages_->calls()[0].caption, "Communication") << code;
        EXPECT_EQ(messages_->calls()[0].flags & MB_ICONMASK, MB_ICONERROR) << code;
    }
}

TEST_F(UiTest, ChoosingTheModeAlreadyShownDoesNothing) {
    CMainDlg& dlg = OpenWindow();
    QTreeWidgetItem* root = Tree(dlg)->topLevelItem(0);
    ClickBox(dlg, teststore::kScansBox);
    sim_->clearRequests();
    dlg.control<QAction>(CMainDlg::IdMenuAdvancedMode)->trigger();
    dlg.SetMode(CMainDlg::ModeAdvanced);
    EXPECT_EQ(Tree(dlg)->topLevelItem(0), root);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 3);
    EXPECT_TRUE(sim_->requests().empty());
    EXPECT_TRUE(dlg.control<QAction>(CMainDlg::IdMenuAdvancedMode)->isChecked());
}

TEST_F(UiTest, TheWindowKeepsItsCentreAcrossAModeSwitchAndUndoesResizing) {
    CMainDlg& dlg = OpenWindow();
    dlg.move(40, 30);
    QApplication::processEvents();
    const QSize advanced = dlg.ModeSize(CMainDlg::ModeAdvanced);
    EXPECT_EQ(dlg.frameGeometry().size(), advanced);
    const QPoint centre =
        dlg.frameGeometry().topLeft() + QPoint(advanced.width() / 2, advanced.height() / 2);

    dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(dlg.mode(), CMainDlg::ModeSimple);
    const QSize simple = dlg.ModeSize(CMainDlg::ModeSimple);
    EXPECT_EQ(dlg.frameGeometry().size(), simple);
    EXPECT_LT(simple.width(), advanced.width());
    EXPECT_LT(simple.height(), advanced.height());
    const QPoint simpleCentre =
        dlg.frameGeometry().topLeft() + QPoint(simple.width() / 2, simple.height() / 2);
    EXPECT_LE((simpleCentre - centre).manhattanLength(), 2);
    EXPECT_TRUE(dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->isChecked());
    EXPECT_FALSE(dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->isEnabled());
    EXPECT_TRUE(dlg.control(CMainDlg::IdSimpleSave)->isVisible());
    EXPECT_FALSE(dlg.control(CMainDlg::IdBoxTree)->isVisible());

    dlg.resize(simple.width() + 100, simple.height() + 80);
    QApplication::processEvents();
    EXPECT_EQ(dlg.frameGeometry().size(), simple);

    dlg.control<QAction>(CMainDlg::IdMenuAdvancedMode)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(dlg.frameGeometry().size(), advanced);
    EXPECT_TRUE(dlg.control(CMainDlg::IdBoxTree)->isVisible());
    EXPECT_FALSE(dlg.control(CMainDlg::IdSimpleSave)->isVisible());
    // Switching back rebuilt the tree from the current listing without asking the device.
    EXPECT_EQ(Tree(dlg)->topLevelItem(0)->childCount(), 3);
}

TEST_F(UiTest, AWindowNearTheEdgeIsPushedBackIntoTheWorkArea) {
    CMainDlg& dlg = OpenWindow();
    dlg.SetMode(CMainDlg::ModeSimple);
    const QRect work = dlg.screen()->availableGeometry();
    const QSize simple = dlg.ModeSize(CMainDlg::ModeSimple);
    dlg.move(work.width() - simple.width(), work.height() - simple.height());
    QApplication::processEvents();
    dlg.SetMode(CMainDlg::ModeAdvanced);
    const QSize advanced = dlg.ModeSize(CMainDlg::ModeAdvanced);
    EXPECT_EQ(dlg.frameGeometry().right() + 1, work.width());
    EXPECT_EQ(dlg.frameGeometry().bottom() + 1, work.height());
    EXPECT_EQ(dlg.frameGeometry().size(), advanced);
}

TEST_F(UiTest, ExitClearsTheWorkFoldersAndSavesTheSettings) {
    TempFolder profile("ui-profile");
    UseProfileFileName(QString::fromStdString(profile.file("Velnor.ini")));
    settings.boxIndex = 2;
    CMainDlg& dlg = OpenWindow();
    const std::filesystem::path leftover =
        std::filesystem::path(PreviewFolder()) / "0000ABCD_1.jpg";
    std::ofstream(leftover) << "page";
    ASSERT_TRUE(std::filesystem::exists(leftover));

    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isHidden());
    EXPECT_EQ(dlg.result(), IDCANCEL);
    EXPECT_FALSE(std::filesystem::exists(leftover));
    std::ifstream written(profile.file("Velnor.ini"));
    const std::string text((std::istreambuf_iterator<char>(written)), {});
    EXPECT_NE(text.find("boxIndex=2"), std::string::npos) << text;
    EXPECT_NE(text.find("IPv4Address=127.0.0.1"), std::string::npos) << text;
    EXPECT_TRUE(messages_->calls().empty());
    ReleaseProfileFileName();
}

TEST_F(UiTest, RefreshRebuildsTheTreeFromTheLastListing) {
    CMainDlg& dlg = OpenWindow();
    ClickBox(dlg, teststore::kScansBox);
    sim_->clearRequests();
    dlg.control<QPushButton>(CMainDlg::IdRefresh)->click();
    EXPECT_TRUE(sim_->requests().empty());
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 0);
    ASSERT_EQ(Tree(dlg)->topLevelItemCount(), 1);
    EXPECT_EQ(Tree(dlg)->topLevelItem(0)->childCount(), 3);
    // The new tree keys find their boxes.
    ClickBox(dlg, teststore::kScansBox);
    EXPECT_EQ(List(dlg)->topLevelItemCount(), 3);
}

TEST_F(UiTest, RightClickOnASelectedDocumentOffersDelete) {
    CMainDlg& dlg = OpenWindow();
    int deletes = 0;
    dlg.onCommand(CMainDlg::IdMenuDelete, [&deletes] { ++deletes; });
    QStringList offered;
    DialogAnswerer<QMenu> answerer([&offered](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            offered.append(action->text());
        }
        menu->setActiveAction(menu->actions().front());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    ClickBox(dlg, teststore::kScansBox);
    QTreeWidget* list = List(dlg);
    const QPoint inside = list->visualItemRect(list->topLevelItem(0)).center();

    // Nothing selected: no menu.
    emit list->customContextMenuRequested(inside);
    EXPECT_EQ(answerer.count(), 0);

    list->setCurrentItem(list->topLevelItem(0));
    emit list->customContextMenuRequested(inside);
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(offered, QStringList({"Delete"}));
    EXPECT_EQ(deletes, 1);
}

TEST_F(UiTest, EnterRunsSaveInEitherModeButNotInThePageEdit) {
    CMainDlg& dlg = OpenWindow();
    int advancedSaves = 0;
    int simpleSaves = 0;
    dlg.onCommand(CMainDlg::IdSave, [&advancedSaves] { ++advancedSaves; });
    dlg.onCommand(CMainDlg::IdSimpleSave, [&simpleSaves] { ++simpleSaves; });
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_EQ(advancedSaves, 1);

    ClickBox(dlg, teststore::kScansBox);
    List(dlg)->setCurrentItem(List(dlg)->topLevelItem(0));
    QTest::keyClick(dlg.control(CMainDlg::IdPageEdit), Qt::Key_Return);
    EXPECT_EQ(advancedSaves, 1);

    dlg.SetMode(CMainDlg::ModeSimple);
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_EQ(simpleSaves, 1);
    EXPECT_EQ(advancedSaves, 1);
}
