#include "ui/imagepane.h"

#include <QPainter>

CImagePane::CImagePane(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void CImagePane::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (draw_) {
        QPainter painter(this);
        draw_(painter);
    }
}
