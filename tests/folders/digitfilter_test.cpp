#include "app/folders/digitfilter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "folders_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

struct FilterCase {
    const char* name;
    QString text;
    int selectionStart;  // -1: no selection, the caret at selectionEnd
    int selectionEnd;
    bool changed;
    QString result;
    int caret;
};

class DigitFilterTest : public ::testing::TestWithParam<FilterCase> {
  protected:
    static void SetUpTestSuite() { application(); }
};

TEST_P(DigitFilterTest, Filters) {
    const FilterCase& c = GetParam();
    QLineEdit field;
    field.setText(c.text);
    if (c.selectionStart < 0) {
        field.setCursorPosition(c.selectionEnd);
    } else {
        field.setSelection(c.selectionStart, c.selectionEnd - c.selectionStart);
    }
    EXPECT_EQ(KeepDigitsOnly(&field), c.changed);
    EXPECT_EQ(field.text(), c.result);
    if (c.changed) {
        EXPECT_EQ(field.cursorPosition(), c.caret);
        EXPECT_FALSE(field.hasSelectedText());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DigitFilterTest,
    ::testing::Values(FilterCase{"letterAfterDigit", "1a", -1, 2, true, "1", 1},
                      FilterCase{"onlyDigits", "123", -1, 3, false, "123", 3},
                      FilterCase{"caretAtStart", "a1", -1, 0, false, "a1", 0},
                      FilterCase{"pastedAtCaret", "1-2-3", -1, 5, true, "123", 3},
                      FilterCase{"afterCaretUntouched", "a1b2", -1, 2, true, "1b2", 1},
                      FilterCase{"selectionFromStart", "ab12", 0, 2, false, "ab12", 0},
                      FilterCase{"selectionInside", "1x2y", 1, 3, true, "12y", 2},
                      FilterCase{"fullWidthDigitRemoved", QString::fromUtf16(u"7\uFF18"), -1, 2,
                                 true, "7", 1}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return info.param.name; });

TEST_F(DigitFilterTest, FindsTheFieldByControlId) {
    QDialog dialog;
    auto* page = new QLineEdit(&dialog);
    page->setObjectName(QStringLiteral("1001"));
    page->setText(QStringLiteral("4z"));
    page->setCursorPosition(2);
    EXPECT_TRUE(KeepDigitsOnly(&dialog, 1001));
    EXPECT_EQ(page->text(), QStringLiteral("4"));
    EXPECT_FALSE(KeepDigitsOnly(&dialog, 1002));
    EXPECT_FALSE(KeepDigitsOnly(nullptr, 1001));
    EXPECT_FALSE(KeepDigitsOnly(static_cast<QLineEdit*>(nullptr)));
}

}  // namespace
