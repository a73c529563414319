#pragma once

#include <QApplication>

// The one QApplication of a test process, created on first use (offscreen platform under CTest).
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "velnor-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
