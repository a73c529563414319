#include "ui/labelfit.h"

#include <QFontMetrics>
#include <QLabel>

namespace {

constexpr int kSmallestPointSize = 6;

}  // namespace

void FitLabelText(QLabel* label) {
    if (!label || label->text().isEmpty() || !label->pixmap().isNull()) {
        return;
    }
    QFont font = label->font();
    const int available = label->contentsRect().width();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > available &&
           font.pointSize() > kSmallestPointSize) {
        font.setPointSize(font.pointSize() - 1);
    }
    if (font != label->font()) {
        label->setFont(font);
    }
}

void FitLabelTexts(QWidget* dialog) {
    if (!dialog) {
        return;
    }
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->metaObject() == &QLabel::staticMetaObject) {
            FitLabelText(label);
        }
    }
}
