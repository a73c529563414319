#pragma once

#include <QString>

#include <functional>

#include "platform/dialogresult.h"

class QWidget;

// Flags of ShowMessageBox, combined with |: one button set, one icon, optional extras. The
// numbers are those the program's message boxes were designed with.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_TOPMOST = 0x40000;

inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFMASK = 0xF00;

// The title a box shows when the caller gives no caption (a null QString).
inline constexpr char16_t kDefaultMessageCaption[] = u"Error";

// Shows a modal message box owned by `owner` (none when nullptr) and returns the id of the
// button that closed it: IDOK, IDCANCEL, IDYES or IDNO. Closing the box with Escape or its
// close button gives IDCANCEL where the box has Cancel, otherwise the id of its only or last
// button (IDOK, IDNO).
//
// `caption` null shows kDefaultMessageCaption; an empty, non-null caption shows an empty
// title. An empty text shows an empty box (it is still shown). MB_TOPMOST keeps the box above
// every other window.
//
// Test hooks, looked at in this order, so that automated runs never block on a modal box:
// 1. an interceptor installed with SetMessageBoxInterceptor() is called instead of showing;
// 2. when the environment variable VELNOR_TEST_MESSAGES names a file, one line
//    "caption|text|flags" is appended to it (caption as shown, so a null caption is written as
//    "Error"; line breaks in the text written as \n; flags as 0x followed by hex digits) and
//    the box's default button is returned without showing anything.
// Must be called on the user-interface thread.
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags);

// What a message box was asked to show; handed to an interceptor.
struct MessageBoxCall {
    QWidget* owner = nullptr;
    QString text;
    QString caption;  // as given: null when the caller gave none
    unsigned flags = 0;
};

// Replaces every message box while installed: ShowMessageBox returns what it returns.
using MessageBoxInterceptor = std::function<int(const MessageBoxCall&)>;

// Installs `interceptor` for the whole process (an empty function removes it) and returns the
// one installed before, so a caller can restore it.
MessageBoxInterceptor SetMessageBoxInterceptor(MessageBoxInterceptor interceptor);

// The button of a box with `flags` that Enter would press: the first one, or the second with
// MB_DEFBUTTON2 (OK, OK/Cancel, Yes/No, Yes/No/Cancel).
int DefaultMessageBoxAnswer(unsigned flags);
