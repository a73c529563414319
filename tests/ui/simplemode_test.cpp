// The simple mode's document view against the simulator.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/ui/uitestenv.h"
#include "ui/passworddialog.h"

// Reaches the state of the simple view the save commands work with.
class MainDialogProbe {
  public:
    static int SimpleIndex(const CMainDlg& window) { return window.simpleDocument_.index; }
    static int& SavedCount(CMainDlg& window) { return window.savedCount; }
};

namespace {

QString Text(CMainDlg& window, int id) {
    if (auto* edit = window.control<QLineEdit>(id)) {
        return edit->text();
    }
    return window.control<QLabel>(id)->text();
}

// The texts 2203, 2204, 2205, 2206 and 2208.
QStringList DocumentTexts(CMainDlg& window) {
    QStringList texts;
    for (int id : {CMainDlg::IdSimpleFileNumber, CMainDlg::IdSimpleDateTime,
                   CMainDlg::IdSimplePages, CMainDlg::IdSimpleColour, CMainDlg::IdSimpleFormat}) {
        texts.append(Text(window, id));
    }
    return texts;
}

}  // namespace

TEST_F(UiTest, SimpleModeShowsTheNewestDocumentThenOlderOnes) {
    settings.SimpleMode = 1;
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(dlg.mode(), CMainDlg::ModeSimple);
    EXPECT_TRUE(dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->isChecked());
    EXPECT_FALSE(dlg.control<QAction>(CMainDlg::IdMenuSimpleMode)->isEnabled());
    EXPECT_EQ(dlg.frameGeometry().size(), dlg.ModeSize(CMainDlg::ModeSimple));

    EXPECT_EQ(Text(dlg, CMainDlg::IdSimpleDeviceName), "Test MFP");
    EXPECT_EQ(Text(dlg, CMainDlg::IdSimpleBoxName), "Scans");
    EXPECT_EQ(Text(dlg, CMainDlg::IdSimpleFolder),
              QString::fromStdString(destination_->path().string()));
    EXPECT_EQ(DocumentTexts(dlg),
              QStringList({"0102", "2012/03/01 10:00:00", "12", "Color", "PDF"}));
    EXPECT_EQ(MainDialogProbe::SimpleIndex(dlg), 2);
    EXPECT_EQ(DocumentListingRequests(), 1);

    // After each save the window shows the next older document, at index - savedCount.
    int& saved = MainDialogProbe::SavedCount(dlg);
    ++saved;
    dlg.ShowDocumentAt(MainDialogProbe::SimpleIndex(dlg) - saved);
    // Its format 7 is neither B/W nor colour: the colour and format texts stay as they were.
    EXPECT_EQ(DocumentTexts(dlg),
              QStringList({"0103", "2012/02/10 08:30:00", "2", "Color", "PDF"}));
    ++saved;
    dlg.ShowDocumentAt(MainDialogProbe::SimpleIndex(dlg) - saved);
    EXPECT_EQ(DocumentTexts(dlg), QStringList({"0101", "2012/01/05 09:00:00", "1", "B/W", "PDF"}));
    ++saved;
    dlg.ShowDocumentAt(MainDialogProbe::SimpleIndex(dlg) - saved);
    EXPECT_EQ(DocumentTexts(dlg), QStringList({"", "", "", "", ""}));
    EXPECT_EQ(MainDialogProbe::SimpleIndex(dlg), -1);
    EXPECT_TRUE(messages_->calls().empty());
}

TEST_F(UiTest, SimpleModeNamesTheFormatFromTheSettings) {
    settings.SimpleMode = 1;
    settings.ColorFormat = 1;
    settings.MonoFormat = 1;
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(Text(dlg, CMainDlg::IdSimpleFormat), "JPEG");
    MainDialogProbe::SavedCount(dlg) = 2;
    dlg.ShowDocumentAt(0);
    EXPECT_EQ(Text(dlg, CMainDlg::IdSimpleFormat), "TIFF");
}

TEST_F(UiTest, SimpleModeWithAnEmptyBoxShowsEmptyFields) {
    settings.SimpleMode = 1;
    settings.boxIndex = teststore::kEmptyBox;
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(Text(dlg, CMainDlg::IdSimpleBoxName), "Empty");
    EXPECT_EQ(DocumentTexts(dlg), QStringList({"", "", "", "", ""}));
    EXPECT_EQ(MainDialogProbe::SimpleIndex(dlg), -1);
    EXPECT_TRUE(messages_->calls().empty());
}

TEST_F(UiTest, SimpleModeWithABoxTheDeviceNoLongerHasShowsEmptyFieldsWithoutAsking) {
    settings.SimpleMode = 1;
    settings.boxIndex = 9;
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(DocumentTexts(dlg), QStringList({"", "", "", "", ""}));
    EXPECT_EQ(MainDialogProbe::SimpleIndex(dlg), -1);
    EXPECT_EQ(DocumentListingRequests(), 0);
    EXPECT_TRUE(messages_->calls().empty());
}

TEST_F(UiTest, SimpleModeAsksAgainAfterARefusedPasswordUntilTheBoxOpens) {
    settings.SimpleMode = 1;
    settings.boxIndex = teststore::kLockedBox;
    int asked = 0;
    DialogAnswerer<CPasswordDlg> answerer([&asked](CPasswordDlg* dialog) {
        // A wrong password first, the right one second.
        dialog->control<QLineEdit>(CPasswordDlg::IdPasswordEdit)
            ->setText(++asked == 1 ? "1111" : "1234");
        dialog->control<QPushButton>(CPasswordDlg::IdOk)->click();
    });
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(answerer.count(), 2);
    ASSERT_EQ(messages_->calls().size(), 1u);
    EXPECT_EQ(messages_->calls()[0].text, "Unable to connect to the scanner.");
    EXPECT_EQ(DocumentTexts(dlg),
              QStringList({"0201", "2013/05/05 05:05:05", "3", "Color", "PDF"}));
}

TEST_F(UiTest, SimpleModeCancelledPasswordShowsEmptyFields) {
    settings.SimpleMode = 1;
    settings.boxIndex = teststore::kLockedBox;
    DialogAnswerer<CPasswordDlg> answerer([](CPasswordDlg* dialog) {
        dialog->control<QPushButton>(CPasswordDlg::IdCancel)->click();
    });
    CMainDlg& dlg = OpenWindow();
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(DocumentTexts(dlg), QStringList({"", "", "", "", ""}));
    EXPECT_EQ(DocumentListingRequests(), 0);
}
