#pragma once

#include <cstdint>

// Whether the texts of a language file can be shown: its character set (the font character-set
// number stored in the file, as 0 for Western, 128 for Japanese, 204 for Cyrillic) must be
// covered by at least one installed font.

// True when at least one installed font supports the writing system of `characterSet`. 1 (the
// default set) is covered by any font; a number that names no character set is covered by
// none. When no font database can be consulted (no GUI application object exists) the check
// passes, so a language file is not refused for want of a display.
bool IsCharacterSetInstalled(uint32_t characterSet);
