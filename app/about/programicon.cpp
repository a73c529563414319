#include "app/about/programicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Draws the device on a square of `size` pixels: a grey body with a lid, a blue panel and a
// white page with text lines sliding out of the front.
QPixmap DrawProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    QPen outline(QColor(40, 48, 64), 1.2);
    painter.setPen(outline);
    // Scanner lid.
    painter.setBrush(QColor(196, 204, 216));
    painter.drawRoundedRect(QRectF(4, 5, 24, 6), 1.5, 1.5);
    // Body.
    painter.setBrush(QColor(228, 232, 238));
    painter.drawRoundedRect(QRectF(2, 10, 28, 14), 2, 2);
    // Operation panel.
    painter.setBrush(QColor(36, 110, 196));
    painter.drawRect(QRectF(20, 13, 7, 4));
    // Output page.
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 19, 16, 11));
    painter.setPen(QPen(QColor(36, 110, 196), 1.2));
    for (double y : {22.5, 25.0, 27.5}) {
        painter.drawLine(QPointF(10.5, y), QPointF(21.5, y));
    }
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addPixmap(DrawProgramIcon(size));
    }
    return icon;
}
