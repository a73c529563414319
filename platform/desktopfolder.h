#pragma once

#include <string>

namespace platform {

// The user's desktop folder as the desktop environment names it ("/"-separated, no trailing
// "/"), or an empty text when it cannot be named. The folder need not exist.
std::u16string desktopFolder();

}  // namespace platform
