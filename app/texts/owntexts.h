#pragma once

#include <cstdint>

// The program's own string table: the texts built into the program, by text id. They are the
// last source of a lookup; a language file or the resource library may replace any of them.

// The own text of `id`, or nullptr when the program has none for it (as for 20005 and 21101).
// The text is a static, zero-terminated UTF-16 string.
const char16_t* FindOwnText(uint32_t id);
