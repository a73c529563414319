#pragma once

#include <optional>
#include <string>
#include <string_view>

// The device's timestamp texts as date values: days since 30 December 1899 at midnight, the time
// of day as the fraction. Days before that date are negative and their fraction still counts
// forward from midnight (-1.25 is 29 December 1899, 06:00), as the classic date value does.
namespace platform {

// Parses a timestamp: "YYYY/MM/DD", optionally followed by blanks (or one "T") and "hh:mm" or
// "hh:mm:ss"; "-" may replace "/". Month and day may have one digit, the year has four and lies
// in 100..9999; every field must be in range for its calendar date. Blanks around the whole text
// are allowed. Anything else, and any text longer than 64 characters, gives nothing.
std::optional<double> parseDeviceDate(std::u16string_view text);

// The date value as "YYYY/MM/DD hh:mm:ss" (rounded to the nearest second), or an empty text when
// the value lies outside the years 100..9999 or is not a finite number.
std::u16string formatDeviceDate(double date);

}  // namespace platform
