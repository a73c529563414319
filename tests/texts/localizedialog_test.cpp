#include "app/texts/localizedialog.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/texts/textsources.h"
#include "platform/dialogframe.h"
#include "platform/textconv.h"
#include "tests/dialogframe/qtapp.h"
#include "tools/lrcbuild/lrcsource.h"

namespace {

// A small dialog with the kinds of controls the program's dialogs hold.
class SmallDialog : public DialogFrame {
  public:
    SmallDialog() {
        setWindowTitle(QStringLiteral("template title"));
        addControl<QGroupBox>(4604, QRect(7, 7, 100, 40), QStringLiteral("group"));
        addControl<QLabel>(6301, QRect(11, 24, 49, 8), QStringLiteral("label"));
        addControl<QCheckBox>(6101, QRect(11, 51, 125, 10), QStringLiteral("check"));
        addControl<QPushButton>(6201, QRect(17, 64, 50, 14), QStringLiteral("button"));
        addControl<QLabel>(6302, QRect(100, 24, 45, 8), QStringLiteral("untouched"));
        addControl<QLabel>(-1, QRect(0, 0, 8, 8), QStringLiteral("unnumbered"));
    }
};

class LocalizeDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testApplication(); }

    void SetUp() override {
        LrcSource source;
        source.entries = {{14101, 0, 0, 0, u"Mot de passe de bo\u00eete"},
                          {14001, 0, 0x02, 0, u"Mot de passe"},
                          {14201, 0, 0x01, u'e', u"Enregistrer"},
                          {13004, 0, 0, 0, u"Format"},
                          {14202, 0, 0, 0, u""}};
        const LrcBuildResult built = BuildLanguageFile(source);
        ASSERT_TRUE(built.ok);
        QFile file(dir_.filePath(QStringLiteral("Velnor.lrc")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(built.bytes.data()),
                   static_cast<qint64>(built.bytes.size()));
        file.close();
        OpenTextSources(platform::fromQString(dir_.filePath(QStringLiteral("Velnor"))));
        ASSERT_TRUE(HasLanguageFile());
    }
    void TearDown() override { ReleaseTextSources(); }

    QTemporaryDir dir_;
};

TEST_F(LocalizeDialogTest, ChangesCaptionsOfControlsById) {
    SmallDialog dialog;
    LocalizeDialog(&dialog, {{0, 14101},
                             {6301, 14001},
                             {6101, 14201},
                             {4604, 13004},
                             {6201, 14202},  // empty in the file: the own text "OK"
                             {6302, 99999},  // no source has it: template text stays
                             {7777, 14001},  // no such control: ignored
                             {-1, 0},
                             {6302, 14001}});  // after the closing pair: never read
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mot de passe de bo\u00eete"));
    EXPECT_EQ(dialog.control<QLabel>(6301)->text(), QStringLiteral("Mot de passe:"));
    EXPECT_EQ(dialog.control<QCheckBox>(6101)->text(), QStringLiteral("&Enregistrer"));
    EXPECT_EQ(dialog.control<QGroupBox>(4604)->title(), QStringLiteral("Format"));
    EXPECT_EQ(dialog.control<QPushButton>(6201)->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.control<QLabel>(6302)->text(), QStringLiteral("untouched"));
}

TEST_F(LocalizeDialogTest, TableWithoutClosingPairEndsWithTheTable) {
    SmallDialog dialog;
    LocalizeDialog(&dialog, {{6301, 14001}});
    EXPECT_EQ(dialog.control<QLabel>(6301)->text(), QStringLiteral("Mot de passe:"));
    LocalizeDialog(nullptr, {{0, 14101}});
}

TEST_F(LocalizeDialogTest, WindowTextOfEachControlKind) {
    SmallDialog dialog;
    auto* edit = dialog.addControl<QLineEdit>(3001, QRect(0, 0, 40, 14));
    EXPECT_TRUE(SetWindowText(edit, QStringLiteral("host")));
    EXPECT_EQ(edit->text(), QStringLiteral("host"));
    EXPECT_TRUE(SetWindowText(&dialog, QStringLiteral("title")));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("title"));
    EXPECT_FALSE(SetWindowText(new QWidget(&dialog), QStringLiteral("x")));
    EXPECT_FALSE(SetWindowText(nullptr, QStringLiteral("x")));
}

}  // namespace
