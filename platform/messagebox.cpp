#include "platform/messagebox.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>

#include <cstdlib>
#include <mutex>

namespace {

std::mutex interceptorLock;
MessageBoxInterceptor& installedInterceptor() {
    static MessageBoxInterceptor interceptor;
    return interceptor;
}

QString shownCaption(const QString& caption) {
    return caption.isNull() ? QString::fromUtf16(kDefaultMessageCaption) : caption;
}

// Appends the box to the file named by VELNOR_TEST_MESSAGES. Returns false when the variable
// is not set; a file that cannot be written still counts as handled, so nothing blocks.
bool writeToTestFile(const QString& text, const QString& caption, unsigned flags) {
    const char* path = std::getenv("VELNOR_TEST_MESSAGES");
    if (path == nullptr || *path == '\0') {
        return false;
    }
    QString line = shownCaption(caption) + u'|' + text + u'|' + QStringLiteral("0x") +
                   QString::number(flags, 16).toUpper();
    const QString escaped = QStringLiteral("\\n");
    line.replace(QStringLiteral("\r\n"), escaped)
        .replace(QChar(u'\n'), escaped)
        .replace(QChar(u'\r'), escaped);
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::Append | QIODevice::WriteOnly)) {
        file.write((line + u'\n').toUtf8());
    }
    return true;
}

QMessageBox::Icon iconOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONWARNING:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

struct ButtonSet {
    int ids[3];
    int count;
};

ButtonSet buttonsOf(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, IDCANCEL, 0}, 2};
        case MB_YESNOCANCEL:
            return {{IDYES, IDNO, IDCANCEL}, 3};
        case MB_YESNO:
            return {{IDYES, IDNO, 0}, 2};
        default:
            return {{IDOK, 0, 0}, 1};
    }
}

QMessageBox::StandardButton standardButtonOf(int id) {
    switch (id) {
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

}  // namespace

MessageBoxInterceptor SetMessageBoxInterceptor(MessageBoxInterceptor interceptor) {
    std::lock_guard<std::mutex> guard(interceptorLock);
    MessageBoxInterceptor previous = std::move(installedInterceptor());
    installedInterceptor() = std::move(interceptor);
    return previous;
}

int DefaultMessageBoxAnswer(unsigned flags) {
    const ButtonSet buttons = buttonsOf(flags);
    const int index = (flags & MB_DEFMASK) == MB_DEFBUTTON2 && buttons.count > 1 ? 1 : 0;
    return buttons.ids[index];
}

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
    MessageBoxInterceptor interceptor;
    {
        std::lock_guard<std::mutex> guard(interceptorLock);
        interceptor = installedInterceptor();
    }
    if (interceptor) {
        return interceptor(MessageBoxCall{owner, text, caption, flags});
    }
    if (writeToTestFile(text, caption, flags)) {
        return DefaultMessageBoxAnswer(flags);
    }

    QMessageBox box(iconOf(flags), shownCaption(caption), text, QMessageBox::NoButton, owner);
    const ButtonSet buttons = buttonsOf(flags);
    QMessageBox::StandardButtons standard = QMessageBox::NoButton;
    for (int i = 0; i < buttons.count; ++i) {
        standard |= standardButtonOf(buttons.ids[i]);
    }
    box.setStandardButtons(standard);
    box.setDefaultButton(standardButtonOf(DefaultMessageBoxAnswer(flags)));
    // Escape: Cancel where there is one, otherwise the last button.
    box.setEscapeButton(standardButtonOf(buttons.ids[buttons.count - 1]));
    if (flags & MB_TOPMOST) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int i = 0; i < buttons.count; ++i) {
        if (clicked != nullptr && clicked == box.button(standardButtonOf(buttons.ids[i]))) {
            return buttons.ids[i];
        }
    }
    return buttons.ids[buttons.count - 1];
}
