// The box password and basic settings dialogs, on their own and from the main window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/about/aboutdialog.h"
#include "tests/ui/uitestenv.h"
#include "ui/basicsettingdialog.h"
#include "ui/passworddialog.h"

namespace {

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testApplication();
        SetSettingInfo(SettingInfo());
        SetPasswordInfo(PasswordInfo());
    }
    MessageBoxRecorder messages_;
    TempFolder folder_{"ui-dialogs"};
};

QString Folder(const TempFolder& folder) {
    return QString::fromStdString(folder.path().string());
}

// Runs `dialog` modally, letting `act` work on it once it is up; returns the result.
template <class T>
int RunWith(T& dialog, std::function<void(T*)> act) {
    DialogAnswerer<T> answerer(std::move(act));
    return dialog.exec();
}

}  // namespace

TEST_F(DialogTest, PasswordDialogPublishesWhatWasEntered) {
    struct Case {
        const char* text;
        bool save;
    };
    for (const Case& c : {Case{"42", false}, Case{"0815", true}, Case{"", false}}) {
        CPasswordDlg dialog;
        const int result = RunWith<CPasswordDlg>(dialog, [&c](CPasswordDlg* d) {
            EXPECT_EQ(d->control<QLineEdit>(CPasswordDlg::IdPasswordEdit)->text(), "");
            EXPECT_FALSE(d->control<QCheckBox>(CPasswordDlg::IdSavePassword)->isChecked());
            d->control<QLineEdit>(CPasswordDlg::IdPasswordEdit)->setText(c.text);
            d->control<QCheckBox>(CPasswordDlg::IdSavePassword)->setChecked(c.save);
            d->control<QPushButton>(CPasswordDlg::IdOk)->click();
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(GetPasswordInfo().password, c.text);
        EXPECT_EQ(GetPasswordInfo().savePassword, c.save ? 1 : 0);
    }
}

TEST_F(DialogTest, PasswordDialogTakesFourDigitsAtMostAndCancelPublishesNothing) {
    CPasswordDlg dialog;
    QLineEdit* edit = dialog.control<QLineEdit>(CPasswordDlg::IdPasswordEdit);
    EXPECT_EQ(edit->maxLength(), 4);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    int position = 0;
    QString letters = "12a";
    EXPECT_EQ(edit->validator()->validate(letters, position), QValidator::Invalid);
    EXPECT_EQ(dialog.windowTitle(), "TWAIN Box Password");

    SetPasswordInfo(PasswordInfo{"77", 1});
    CPasswordDlg cancelled;
    EXPECT_EQ(RunWith<CPasswordDlg>(
                  cancelled,
                  [](CPasswordDlg* d) {
                      d->control<QLineEdit>(CPasswordDlg::IdPasswordEdit)->setText("1234");
                      d->control<QPushButton>(CPasswordDlg::IdCancel)->click();
                  }),
              IDCANCEL);
    EXPECT_EQ(GetPasswordInfo(), (PasswordInfo{"77", 1}));
}

TEST_F(DialogTest, BasicSettingsShowTheSettingsAndStoreTheChosenBox) {
    SettingInfo current;
    current.machineName = "Office MFP";
    current.boxIndex = 3;
    current.folderPath = Folder(folder_);
    current.ColorFormat = 1;
    current.MonoFormat = 0;
    current.DeleteFile = 0;
    current.SimpleMode = 1;
    SetSettingInfo(current);

    CBasicSettingDlg dialog({"root", "A", "B", "C", "D"});
    const int result = RunWith<CBasicSettingDlg>(dialog, [&](CBasicSettingDlg* d) {
        QComboBox* boxes = d->control<QComboBox>(CBasicSettingDlg::IdBoxChoice);
        ASSERT_EQ(boxes->count(), 4);
        EXPECT_EQ(boxes->currentText(), "C");  // box-list entry 3
        EXPECT_EQ(d->control<QLabel>(CBasicSettingDlg::IdDeviceName)->text(), "Office MFP");
        EXPECT_EQ(d->control<QLineEdit>(CBasicSettingDlg::IdFolder)->text(), Folder(folder_));
        EXPECT_TRUE(d->control<QRadioButton>(CBasicSettingDlg::IdColorJpeg)->isChecked());
        EXPECT_TRUE(d->control<QRadioButton>(CBasicSettingDlg::IdMonoPdf)->isChecked());
        EXPECT_FALSE(d->control<QCheckBox>(CBasicSettingDlg::IdDeleteAfterSave)->isChecked());
        EXPECT_TRUE(d->control<QRadioButton>(CBasicSettingDlg::IdSimpleMode)->isChecked());
        boxes->setCurrentIndex(0);
        d->control<QRadioButton>(CBasicSettingDlg::IdMonoTiff)->setChecked(true);
        d->control<QCheckBox>(CBasicSettingDlg::IdDeleteAfterSave)->setChecked(true);
        d->control<QPushButton>(CBasicSettingDlg::IdOk)->click();
    });
    EXPECT_EQ(result, IDOK);
    SettingInfo expected = current;
    expected.boxIndex = 1;
    expected.MonoFormat = 1;
    expected.DeleteFile = 1;
    EXPECT_EQ(GetSettingInfo(), expected);
    EXPECT_TRUE(messages_.calls().empty());
}

TEST_F(DialogTest, BasicSettingsWithOnlyTheRootStoreTheFirstBox) {
    SettingInfo current;
    current.boxIndex = 5;
    current.folderPath = Folder(folder_);
    SetSettingInfo(current);
    CBasicSettingDlg dialog({"root"});
    RunWith<CBasicSettingDlg>(dialog, [](CBasicSettingDlg* d) {
        EXPECT_EQ(d->control<QComboBox>(CBasicSettingDlg::IdBoxChoice)->count(), 0);
        d->control<QPushButton>(CBasicSettingDlg::IdOk)->click();
    });
    EXPECT_EQ(GetSettingInfo().boxIndex, 1);
}

TEST_F(DialogTest, BasicSettingsRefuseTooLongOrMissingFolders) {
    const QString base = Folder(folder_);
    // An existing folder whose path is exactly 240 characters long.
    const QString exact = base + "/" + QString(239 - base.size(), u'f');
    ASSERT_EQ(exact.size(), 240);
    ASSERT_TRUE(QDir().mkpath(exact));
    const QString tooLong = exact + "/g";
    ASSERT_TRUE(QDir().mkpath(tooLong));

    struct Case {
        QString folder;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {tooLong, "The path is too deep."},
        {base + "/missing", "The specified folder does not exist."},
        {QString(), "The specified folder does not exist."},
        {exact, nullptr},
    };
    for (const Case& c : cases) {
        SettingInfo current;
        current.folderPath = c.folder;
        SetSettingInfo(current);
        messages_.clear();
        CBasicSettingDlg dialog({"root", "A"});
        bool stayedOpen = false;
        const int result = RunWith<CBasicSettingDlg>(dialog, [&](CBasicSettingDlg* d) {
            d->control<QPushButton>(CBasicSettingDlg::IdOk)->click();
            stayedOpen = d->isVisible();
            if (stayedOpen) {
                d->control<QPushButton>(CBasicSettingDlg::IdCancel)->click();
            }
        });
        if (c.message) {
            EXPECT_TRUE(stayedOpen) << c.folder.toStdString();
            EXPECT_EQ(result, IDCANCEL);
            ASSERT_EQ(messages_.calls().size(), 1u) << c.folder.toStdString();
            EXPECT_EQ(messages_.calls()[0].text, c.message);
            EXPECT_EQ(messages_.calls()[0].caption, "Basic Settings");
            EXPECT_EQ(GetSettingInfo(), current);
        } else {
            EXPECT_EQ(result, IDOK);
            EXPECT_TRUE(messages_.calls().empty());
            EXPECT_EQ(GetSettingInfo().folderPath, exact);
        }
    }
}

TEST_F(DialogTest, BrowsingSetsTheFolderOrSaysThePathIsTooDeep) {
    SettingInfo current;
    current.folderPath = Folder(folder_);
    SetSettingInfo(current);
    std::optional<std::optional<QString>> answer;
    CBasicSettingDlg::SetFolderBrowser([&answer](QWidget*) { return answer; });
    CBasicSettingDlg dialog({"root", "A"});
    RunWith<CBasicSettingDlg>(dialog, [&](CBasicSettingDlg* d) {
        QLineEdit* edit = d->control<QLineEdit>(CBasicSettingDlg::IdFolder);
        answer = std::nullopt;  // cancelled
        d->control<QPushButton>(CBasicSettingDlg::IdBrowse)->click();
        EXPECT_EQ(edit->text(), Folder(folder_));
        answer = std::optional<QString>();  // a folder without a file-system path
        d->control<QPushButton>(CBasicSettingDlg::IdBrowse)->click();
        EXPECT_EQ(edit->text(), Folder(folder_));
        ASSERT_EQ(messages_.calls().size(), 1u);
        EXPECT_EQ(messages_.calls()[0].text, "The path is too deep.");
        answer = std::optional<QString>("/tmp");
        d->control<QPushButton>(CBasicSettingDlg::IdBrowse)->click();
        EXPECT_EQ(edit->text(), "/tmp");
        d->control<QPushButton>(CBasicSettingDlg::IdCancel)->click();
    });
    CBasicSettingDlg::SetFolderBrowser({});
    EXPECT_EQ(GetSettingInfo(), current);
}

TEST_F(UiTest, BasicSettingsFromTheWindowKeepItsModeAndTakeTheNewFlags) {
    CMainDlg& dlg = OpenWindow();
    QTreeWidgetItem* root = dlg.control<QTreeWidget>(CMainDlg::IdBoxTree)->topLevelItem(0);
    sim_->clearRequests();
    DialogAnswerer<CBasicSettingDlg> answerer([](CBasicSettingDlg* d) {
        EXPECT_EQ(d->control<QComboBox>(CBasicSettingDlg::IdBoxChoice)->count(), 3);
        d->control<QRadioButton>(CBasicSettingDlg::IdSimpleMode)->setChecked(true);
        d->control<QCheckBox>(CBasicSettingDlg::IdDeleteAfterSave)->setChecked(true);
        d->control<QPushButton>(CBasicSettingDlg::IdOk)->click();
    });
    dlg.control<QAction>(CMainDlg::IdMenuBasicSettings)->trigger();
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(GetSettingInfo().SimpleMode, 1);
    EXPECT_EQ(dlg.mode(), CMainDlg::ModeAdvanced);
    EXPECT_TRUE(dlg.control<QCheckBox>(CMainDlg::IdDeleteAfterSave)->isChecked());
    EXPECT_EQ(dlg.control<QTreeWidget>(CMainDlg::IdBoxTree)->topLevelItem(0), root);
    EXPECT_TRUE(sim_->requests().empty());
}

TEST_F(UiTest, BasicSettingsInSimpleModeShowTheNewestDocumentOfTheNewBox) {
    settings.SimpleMode = 1;
    CMainDlg& dlg = OpenWindow();
    ASSERT_EQ(dlg.control<QLabel>(CMainDlg::IdSimpleFileNumber)->text(), "0102");
    DialogAnswerer<CBasicSettingDlg> answerer([](CBasicSettingDlg* d) {
        // Drop-down position 2 is box-list entry 3, the empty box.
        d->control<QComboBox>(CBasicSettingDlg::IdBoxChoice)->setCurrentIndex(2);
        d->control<QPushButton>(CBasicSettingDlg::IdOk)->click();
    });
    dlg.control<QAction>(CMainDlg::IdMenuBasicSettings)->trigger();
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(GetSettingInfo().boxIndex, teststore::kEmptyBox);
    EXPECT_EQ(dlg.control<QLabel>(CMainDlg::IdSimpleBoxName)->text(), "Empty");
    EXPECT_EQ(dlg.control<QLabel>(CMainDlg::IdSimpleFileNumber)->text(), "");
    EXPECT_EQ(dlg.mode(), CMainDlg::ModeSimple);
}

TEST_F(UiTest, TheAboutItemOpensTheAboutBox) {
    CMainDlg& dlg = OpenWindow();
    QString product;
    DialogAnswerer<CAboutDlg> answerer([&product](CAboutDlg* d) {
        product = d->control<QLabel>(CAboutDlg::IdProduct)->text();
        d->control<QPushButton>(IDOK)->click();
    });
    QAction* about = dlg.control<QAction>(CMainDlg::IdSystemAbout);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "About");
    about->trigger();
    EXPECT_EQ(answerer.count(), 1);
    EXPECT_EQ(product, "Arvenco Velnor");
}
