#include "platform/messagebox.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/messageboxrecorder.h"
#include "tests/dialogframe/qtapp.h"

namespace {

class MessageBoxTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testApplication(); }
};

TEST_F(MessageBoxTest, RecorderInterceptsAndRestores) {
    MessageBoxRecorder outer(IDOK);
    {
        MessageBoxRecorder inner(IDNO);
        EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("Replace?"), QStringLiteral("Save"),
                                 MB_YESNO | MB_ICONQUESTION),
                  IDNO);
        ASSERT_EQ(inner.calls().size(), 1u);
        EXPECT_EQ(inner.calls()[0].text, QStringLiteral("Replace?"));
        EXPECT_EQ(inner.calls()[0].caption, QStringLiteral("Save"));
        EXPECT_EQ(inner.calls()[0].flags, MB_YESNO | MB_ICONQUESTION);
    }
    EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("x"), QString(), MB_ICONERROR | MB_TOPMOST),
              IDOK);
    ASSERT_EQ(outer.calls().size(), 1u) << "the outer recorder is back after the inner one";
    EXPECT_TRUE(outer.calls()[0].caption.isNull()) << "no caption stays distinguishable";
}

TEST_F(MessageBoxTest, DefaultAnswerIsTheDefaultButton) {
    struct Row {
        unsigned flags;
        int answer;
    };
    for (const Row& row :
         {Row{MB_OK, IDOK}, Row{MB_OKCANCEL, IDOK}, Row{MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
          Row{MB_YESNO, IDYES}, Row{MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
          Row{MB_YESNOCANCEL, IDYES}, Row{MB_OK | MB_DEFBUTTON2, IDOK}}) {
        EXPECT_EQ(DefaultMessageBoxAnswer(row.flags), row.answer) << std::hex << row.flags;
    }
}

TEST_F(MessageBoxTest, EnvironmentFileRecordsLinesWithoutShowing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("messages.txt"));
    ASSERT_EQ(setenv("VELNOR_TEST_MESSAGES", path.toLocal8Bit().constData(), 1), 0);
    const int first = ShowMessageBox(nullptr, QStringLiteral("Velnor is already running. "),
                                     QString(), MB_ICONERROR | MB_TOPMOST);
    const int second = ShowMessageBox(nullptr, QStringLiteral("two\nlines"), QStringLiteral("Save"),
                                      MB_YESNO | MB_ICONQUESTION);
    unsetenv("VELNOR_TEST_MESSAGES");
    EXPECT_EQ(first, IDOK);
    EXPECT_EQ(second, IDYES);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              QStringLiteral("Error|Velnor is already running. |0x40010\n"
                             "Save|two\\nlines|0x24\n"));
}

TEST_F(MessageBoxTest, RealBoxReturnsTheClickedButtonsId) {
    struct Row {
        unsigned flags;
        QMessageBox::StandardButton press;
        int answer;
    };
    for (const Row& row : {Row{MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO},
                           Row{MB_YESNO, QMessageBox::Yes, IDYES},
                           Row{MB_OKCANCEL | MB_ICONWARNING, QMessageBox::Cancel, IDCANCEL},
                           Row{MB_OK | MB_ICONERROR | MB_TOPMOST, QMessageBox::Ok, IDOK}}) {
        QString shownTitle;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shownTitle = box->windowTitle();
            box->button(row.press)->click();
        });
        EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("text"), QString(), row.flags),
                  row.answer);
        EXPECT_EQ(shownTitle, QStringLiteral("Error"));
    }
}

}  // namespace
