#pragma once

#include <ctime>
#include <string>

// `time` as local time in 14 digits, "%Y%m%d%H%M%S" (for example "20260314093005"), or an empty
// text when it cannot be converted to local time or its year has other than four digits.
std::u16string FormatFileTimestamp(std::time_t time);
