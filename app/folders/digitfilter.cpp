#include "app/folders/digitfilter.h"

#include <QLineEdit>
#include <QWidget>

bool KeepDigitsOnly(QLineEdit* field) {
    if (field == nullptr) {
        return false;
    }
    const qsizetype start =
        field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    const qsizetype end =
        field->hasSelectedText() ? field->selectionEnd() : field->cursorPosition();
    if (start == 0 || end == 0) {
        return false;
    }
    QString text = field->text();
    qsizetype limit = std::min(end, text.size());
    bool removed = false;
    for (qsizetype i = 0; i < limit;) {
        if (text[i] >= u'0' && text[i] <= u'9') {
            ++i;
        } else {
            text.remove(i, 1);
            --limit;
            removed = true;
        }
    }
    if (!removed) {
        return false;
    }
    field->setText(text);  // may run the filter again through textChanged; it then finds nothing
    field->setCursorPosition(static_cast<int>(limit));
    return true;
}

bool KeepDigitsOnly(const QWidget* dialog, int controlId) {
    if (dialog == nullptr) {
        return false;
    }
    return KeepDigitsOnly(dialog->findChild<QLineEdit*>(QString::number(controlId)));
}
