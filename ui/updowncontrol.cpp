#include "ui/updowncontrol.h"

#include <QEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

CUpDownCtrl::CUpDownCtrl(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    up_->setFocusPolicy(Qt::NoFocus);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    down_->setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void CUpDownCtrl::setBuddy(QLineEdit* buddy) {
    buddy_ = buddy;
}

void CUpDownCtrl::setRange(int lower, int upper) {
    lower_ = std::min(lower, upper);
    upper_ = std::max(lower, upper);
}

void CUpDownCtrl::setPos(int position) {
    position = std::clamp(position, lower_, upper_);
    if (buddy_) {
        buddy_->setText(QString::number(position));
    }
}

int CUpDownCtrl::pos() const {
    if (!buddy_) {
        return lower_;
    }
    const QString text = buddy_->text();
    qsizetype digits = 0;
    while (digits < text.size() && digits < 9 && text[digits].isDigit()) {
        ++digits;
    }
    if (digits == 0) {
        return lower_;
    }
    return std::clamp(text.left(digits).toInt(), lower_, upper_);
}

void CUpDownCtrl::step(int delta) {
    if (!isEnabled()) {
        return;
    }
    setPos(pos() + delta);
}

void CUpDownCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        up_->setEnabled(isEnabled());
        down_->setEnabled(isEnabled());
    }
}

void CUpDownCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}
