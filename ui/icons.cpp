#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include "app/about/programicon.h"

namespace {

const QColor kOutline(40, 48, 64);
const QColor kAccent(36, 110, 196);
const QColor kBoxFace(222, 176, 96);
const QColor kBoxLid(196, 146, 64);

// Every icon is drawn on a 16 x 16 design grid and scaled to the pixmap's size.
template <class Draw>
QIcon MakeIcon(Draw draw) {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A page with a folded corner and three text lines.
void DrawDocument(QPainter& p) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(12.5, 4);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({QPointF(10, 1.5), QPointF(10, 4), QPointF(12.5, 4)}));
    p.setPen(QPen(kAccent, 1));
    for (double y : {6.5, 9.0, 11.5}) {
        p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    }
}

// A closed storage box; `open` lifts the lid and shows a page inside.
void DrawBox(QPainter& p, bool open) {
    p.setPen(QPen(kOutline, 1));
    if (open) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2.5, 7, 6));
        p.setBrush(kBoxLid);
        p.drawPolygon(QPolygonF({QPointF(1.5, 6.5), QPointF(4, 3.5), QPointF(5, 6.5)}));
        p.drawPolygon(QPolygonF({QPointF(14.5, 6.5), QPointF(12, 3.5), QPointF(11, 6.5)}));
    } else {
        p.setBrush(kBoxLid);
        p.drawRect(QRectF(1.5, 4.5, 13, 3));
    }
    p.setBrush(kBoxFace);
    p.drawRect(QRectF(2.5, 6.5, 11, 8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 9, 4, 2.5));
}

// A small office device: lid, body, panel and output tray.
void DrawDevice(QPainter& p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(196, 204, 216));
    p.drawRect(QRectF(2.5, 2.5, 11, 3));
    p.setBrush(QColor(228, 232, 238));
    p.drawRect(QRectF(1.5, 5.5, 13, 7));
    p.setBrush(kAccent);
    p.drawRect(QRectF(10, 7, 3, 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

// A filled triangle pointing left or right, for the page stepping buttons.
void DrawArrow(QPainter& p, bool right) {
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    if (right) {
        p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(12, 8), QPointF(5, 13)}));
    } else {
        p.drawPolygon(QPolygonF({QPointF(11, 3), QPointF(4, 8), QPointF(11, 13)}));
    }
}

}  // namespace

QIcon VelnorIcon(int id) {
    switch (id) {
        case IconProgram:
            return ProgramIcon();
        case IconDocument:
            return MakeIcon(DrawDocument);
        case IconBox:
            return MakeIcon([](QPainter& p) { DrawBox(p, false); });
        case IconOpenBox:
            return MakeIcon([](QPainter& p) { DrawBox(p, true); });
        case IconDevice:
            return MakeIcon(DrawDevice);
        case IconPreviousPage:
            return MakeIcon([](QPainter& p) { DrawArrow(p, false); });
        case IconNextPage:
            return MakeIcon([](QPainter& p) { DrawArrow(p, true); });
        default:
            return QIcon();
    }
}
