#include "device/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

WaitCursor::WaitCursor() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app != nullptr && QThread::currentThread() == app->thread()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown_ = true;
    }
}

WaitCursor::~WaitCursor() {
    if (shown_) {
        QGuiApplication::restoreOverrideCursor();
    }
}
