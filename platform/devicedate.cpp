#include "platform/devicedate.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace platform {

namespace {

// Days from 1 March of year 0 (proleptic Gregorian calendar), the usual civil-day count.
int64_t civilDays(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

void civilFromDays(int64_t days, int64_t& year, int64_t& month, int64_t& day) {
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

const int64_t kEpoch = civilDays(1899, 12, 30);

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

class Reader {
  public:
    explicit Reader(std::u16string_view text) : text_(text) {}

    bool atEnd() const { return pos_ == text_.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : text_[pos_]; }
    bool take(char16_t c) {
        if (peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }
    size_t skipBlanks() {
        size_t skipped = 0;
        while (peek() == u' ' || peek() == u'\t') {
            ++pos_;
            ++skipped;
        }
        return skipped;
    }
    // Reads between minDigits and maxDigits decimal digits.
    bool number(size_t minDigits, size_t maxDigits, int& value) {
        size_t count = 0;
        value = 0;
        while (count < maxDigits && peek() >= u'0' && peek() <= u'9') {
            value = value * 10 + (peek() - u'0');
            ++pos_;
            ++count;
        }
        return count >= minDigits && !(peek() >= u'0' && peek() <= u'9');
    }

  private:
    std::u16string_view text_;
    size_t pos_ = 0;
};

}  // namespace

std::optional<double> parseDeviceDate(std::u16string_view text) {
    if (text.size() > 64) {
        return std::nullopt;
    }
    Reader in(text);
    in.skipBlanks();
    int year = 0;
    int month = 0;
    int day = 0;
    if (!in.number(4, 4, year)) {
        return std::nullopt;
    }
    const char16_t separator = in.peek();
    if ((separator != u'/' && separator != u'-') || !in.take(separator) ||
        !in.number(1, 2, month) || !in.take(separator) || !in.number(1, 2, day)) {
        return std::nullopt;
    }
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        return std::nullopt;
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    const bool blanks = in.skipBlanks() > 0;
    const bool timeFollows = blanks ? !in.atEnd() : in.take(u'T');
    if (timeFollows) {
        if (!in.number(1, 2, hour) || !in.take(u':') || !in.number(2, 2, minute)) {
            return std::nullopt;
        }
        if (in.take(u':') && !in.number(2, 2, second)) {
            return std::nullopt;
        }
        if (hour > 23 || minute > 59 || second > 59) {
            return std::nullopt;
        }
        in.skipBlanks();
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    const auto days = static_cast<double>(civilDays(year, month, day) - kEpoch);
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return days >= 0 ? days + fraction : days - fraction;
}

std::u16string formatDeviceDate(double date) {
    if (!std::isfinite(date) || std::fabs(date) > 3.0e6) {
        return {};
    }
    // Whole days toward zero; the fraction is the time of day in either direction.
    double whole = std::trunc(date);
    int64_t seconds = std::llround(std::fabs(date - whole) * 86400.0);
    if (seconds >= 86400) {
        // Rounding reached the next midnight.
        seconds -= 86400;
        whole += 1;
    }
    int64_t year = 0;
    int64_t month = 0;
    int64_t day = 0;
    civilFromDays(static_cast<int64_t>(whole) + kEpoch, year, month, day);
    if (year < 100 || year > 9999) {
        return {};
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", static_cast<int>(year),
                  static_cast<int>(month), static_cast<int>(day), static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

}  // namespace platform
