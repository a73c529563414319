#include "tools/screenshots/windowpictures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>

namespace {

// Runs the events for `milliseconds`, so that layouts, timers and queued calls settle.
void Settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

}  // namespace

bool WindowPictures::take(QWidget& window, const QString& name) {
    if (!window.isVisible()) {
        window.show();
    }
    Settle(300);
    const QString path = folder_ + "/" + name + ".png";
    const QPixmap picture = window.grab();
    if (picture.isNull() || !picture.save(path, "PNG")) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        ++failures_;
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), picture.width(), picture.height());
    return true;
}
