#include "platform/dialogframe.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/dialogframe/qtapp.h"

namespace {

// A small dialog in the way the program's dialogs are written: controls from a template,
// fields read and written in one place, commands in one table.
class SampleDialog : public DialogFrame {
  public:
    explicit SampleDialog(bool endInInit = false) : endInInit_(endInInit) {
        setTemplateSize(156, 85);
        addControl<QGroupBox>(-1, QRect(7, 7, 142, 40));
        addControl<QLabel>(6301, QRect(11, 24, 49, 8), QStringLiteral("Password:"));
        addControl<QCheckBox>(6101, QRect(11, 51, 125, 10), QStringLiteral("Save Password"));
        addControl<QPushButton>(IDOK, QRect(17, 64, 50, 14), QStringLiteral("OK"));
        addControl<QPushButton>(IDCANCEL, QRect(87, 64, 50, 14), QStringLiteral("Cancel"));
        addControl<QPushButton>(6201, QRect(17, 64, 50, 14), QStringLiteral("Apply"));
        auto* action = new QAction(QStringLiteral("Delete"), this);
        action->setObjectName(idName(30201));
        onCommand(6201, [this] { ++applied; });
        onCommand(30201, [this] { ++deleted; });
    }

    bool savePassword = true;
    int applied = 0;
    int deleted = 0;
    int writes = 0;
    int inits = 0;

  protected:
    void onInitDialog() override {
        ++inits;
        DialogFrame::onInitDialog();
        if (endInInit_) {
            endDialog(42);
        }
    }
    void writeFields() override {
        ++writes;
        control<QCheckBox>(6101)->setChecked(savePassword);
    }
    void readFields() override { savePassword = control<QCheckBox>(6101)->isChecked(); }

  private:
    bool endInInit_;
};

class DialogFrameTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testApplication(); }
};

TEST_F(DialogFrameTest, FindsControlsByIdAndType) {
    SampleDialog dialog;
    EXPECT_EQ(dialog.control(0), &dialog);
    ASSERT_NE(dialog.control(6301), nullptr);
    EXPECT_EQ(dialog.control(6301)->objectName(), QStringLiteral("6301"));
    EXPECT_EQ(dialog.control<QLabel>(6301)->text(), QStringLiteral("Password:"));
    EXPECT_EQ(dialog.control<QPushButton>(6301), nullptr) << "wrong type gives nullptr";
    EXPECT_EQ(dialog.control(9999), nullptr);
    EXPECT_EQ(dialog.control(-1), nullptr) << "unnumbered controls are not found";
    EXPECT_NE(dialog.control<QAction>(30201), nullptr);
}

TEST_F(DialogFrameTest, PlacesControlsInDialogUnits) {
    SampleDialog dialog;
    const QSize base = dialog.dialogBaseUnits();
    const QFontMetrics metrics(dialog.font());
    EXPECT_EQ(base.height(), metrics.height());
    EXPECT_GT(base.width(), 0);
    // 4 horizontal units are one average character, 8 vertical units one line.
    EXPECT_EQ(dialog.mapDialogRect(QRect(4, 8, 40, 16)),
              QRect(base.width(), base.height(), 10 * base.width(), 2 * base.height()));
    EXPECT_EQ(dialog.control(6101)->geometry(), dialog.mapDialogRect(QRect(11, 51, 125, 10)));
    EXPECT_EQ(dialog.size(), dialog.mapDialogRect(QRect(0, 0, 156, 85)).size());
}

TEST_F(DialogFrameTest, BiggerTemplateFontGivesBiggerUnits) {
    SampleDialog dialog;
    dialog.setTemplateFont(8);
    const QSize small = dialog.dialogBaseUnits();
    dialog.setTemplateFont(20);
    const QSize large = dialog.dialogBaseUnits();
    EXPECT_GT(large.width(), small.width());
    EXPECT_GT(large.height(), small.height());
}

TEST_F(DialogFrameTest, OkButtonReadsFieldsAndEndsWithIdOk) {
    SampleDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.control<QCheckBox>(6101)->setChecked(false);
        dialog.control<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(dialog.exec(), IDOK);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(dialog.writes, 1);
    EXPECT_FALSE(dialog.savePassword);
}

TEST_F(DialogFrameTest, CancelButtonAndEscapeEndWithIdCancelWithoutReading) {
    for (bool useEscape : {false, true}) {
        SampleDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog, useEscape] {
            dialog.control<QCheckBox>(6101)->setChecked(false);
            if (useEscape) {
                dialog.reject();  // what Escape and the close button do
            } else {
                dialog.control<QPushButton>(IDCANCEL)->click();
            }
        });
        EXPECT_EQ(dialog.exec(), IDCANCEL) << "escape=" << useEscape;
        EXPECT_TRUE(dialog.savePassword);
    }
}

TEST_F(DialogFrameTest, CommandTableRoutesButtonsAndActions) {
    SampleDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.control<QPushButton>(6201)->click();
        dialog.control<QPushButton>(6201)->click();
        dialog.control<QAction>(30201)->trigger();
        dialog.endDialog(IDCANCEL);
    });
    EXPECT_EQ(dialog.exec(), IDCANCEL);
    EXPECT_EQ(dialog.applied, 2) << "each click runs the handler once";
    EXPECT_EQ(dialog.deleted, 1);
    EXPECT_FALSE(dialog.runCommand(4711));
}

TEST_F(DialogFrameTest, ControlsCreatedLaterAreRoutedOnRequest) {
    SampleDialog dialog;
    dialog.show();
    auto* late = dialog.addControl<QPushButton>(1603, QRect(0, 0, 10, 10), QStringLiteral("R"));
    int refreshed = 0;
    dialog.onCommand(1603, [&refreshed] { ++refreshed; });
    late->click();
    EXPECT_EQ(refreshed, 0);
    dialog.routeCommand(late);
    dialog.routeCommand(late);
    late->click();
    EXPECT_EQ(refreshed, 1);
    dialog.endDialog(IDOK);
}

TEST_F(DialogFrameTest, EveryOpeningInitializesAgain) {
    SampleDialog dialog;
    for (int opening = 1; opening <= 2; ++opening) {
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.endDialog(IDCANCEL); });
        EXPECT_EQ(dialog.exec(), IDCANCEL);
        EXPECT_EQ(dialog.inits, opening);
        EXPECT_EQ(dialog.writes, opening);
    }
    dialog.show();
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.inits, 3) << "hiding is not ending";
    dialog.endDialog(IDOK);
    dialog.show();
    EXPECT_EQ(dialog.inits, 4);
    dialog.endDialog(IDOK);
}

TEST_F(DialogFrameTest, EndingInInitDialogNeverShows) {
    SampleDialog modal(true);
    EXPECT_EQ(modal.exec(), 42);
    EXPECT_FALSE(modal.isVisible());

    SampleDialog modeless(true);
    modeless.show();
    EXPECT_FALSE(modeless.isVisible());
    EXPECT_EQ(modeless.inits, 1);
    EXPECT_EQ(modal.exec(), 42) << "not opened, so initialized again";
    EXPECT_EQ(modal.inits, 2);
}

}  // namespace
