#include "app/texts/localizedialog.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include "app/texts/textsources.h"

bool SetWindowText(QWidget* control, const QString& text) {
    if (control == nullptr) {
        return false;
    }
    if (control->isWindow()) {
        control->setWindowTitle(text);
        return true;
    }
    // Labels, buttons and edits have a "text" property, group boxes a "title".
    for (const char* name : {"text", "title", "plainText"}) {
        if (control->metaObject()->indexOfProperty(name) >= 0) {
            return control->setProperty(name, text);
        }
    }
    return false;
}

void LocalizeDialog(QWidget* dialog, const CaptionTable& table) {
    if (dialog == nullptr) {
        return;
    }
    TextBuffer buffer;
    for (const CaptionPair& pair : table) {
        if (pair.controlId == -1) {
            break;
        }
        if (!LoadLocalizedText(static_cast<uint32_t>(pair.textId), buffer)) {
            continue;
        }
        const QString text = QString::fromUtf16(buffer.data());
        if (pair.controlId == 0) {
            dialog->setWindowTitle(text);
        } else if (auto* control = dialog->findChild<QWidget*>(QString::number(pair.controlId))) {
            SetWindowText(control, text);
        }
    }
}
