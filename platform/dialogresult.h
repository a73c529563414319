#pragma once

// Button and dialog result ids shared by the dialog framework and the message box. They keep
// the numbers the windows of the program were designed with, so a control whose id is 1 or 2
// acts as the OK or Cancel button of its dialog.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
