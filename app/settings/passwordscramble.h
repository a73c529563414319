#pragma once

#include <optional>
#include <string>

// The stored form of the box password: the plain password read as a decimal number, mixed with
// a 16-bit constant, written as decimal text. It keeps the password out of plain sight in the
// profile; it is not encryption.

// The stored form of `plain` (one to nine decimal digits), or nothing when `plain` is not such a
// number (an empty password, for instance).
std::optional<std::u16string> ScramblePassword(const std::u16string& plain);

// The plain password, as the decimal text of its number (leading zeros gone), from its stored
// form; nothing when `stored` is not a stored form.
std::optional<std::u16string> UnscramblePassword(const std::u16string& stored);
