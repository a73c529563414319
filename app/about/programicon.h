#pragma once

#include <QIcon>

// The program's own icon (icon 128): a small office printer/scanner with a page coming out,
// drawn at 16, 32 and 48 pixels. The main window, the About box and the waiting windows use it.
//
// Needs a QGuiApplication. Returns a fresh icon on every call; the caller owns it.
QIcon ProgramIcon();
