#include "platform/devicedate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct DateCase {
    const char16_t* text;
    bool parses;
    double value;  // days since 1899-12-30, time as fraction
};

class DeviceDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DeviceDateTest, Parses) {
    const DateCase& c = GetParam();
    const auto value = platform::parseDeviceDate(c.text);
    ASSERT_EQ(value.has_value(), c.parses);
    if (c.parses) {
        EXPECT_NEAR(*value, c.value, 1e-9);
    }
}

constexpr double kDay2012_03_01 = 40969;  // 2012/03/01

INSTANTIATE_TEST_SUITE_P(
    Texts, DeviceDateTest,
    ::testing::Values(
        DateCase{u"1899/12/30 00:00:00", true, 0}, DateCase{u"1900/01/01", true, 2},
        DateCase{u"2012/03/01 10:00:00", true, kDay2012_03_01 + 10.0 / 24},
        DateCase{u"2012-03-01T10:00", true, kDay2012_03_01 + 10.0 / 24},
        DateCase{u"  2012/3/1   6:05:30 ", true,
                 kDay2012_03_01 + (6 * 3600 + 5 * 60 + 30) / 86400.0},
        DateCase{u"2012/02/29 23:59:59", true, kDay2012_03_01 - 1 + 86399 / 86400.0},
        // Before the epoch the time still runs forward from midnight: 29 Dec 1899 06:00.
        DateCase{u"1899/12/29 06:00:00", true, -1.25}, DateCase{u"0100/01/01", true, -657434},
        DateCase{u"9999/12/31 23:59:59", true, 2958465 + 86399 / 86400.0}, DateCase{u"", false, 0},
        DateCase{u"garbage", false, 0}, DateCase{u"2011/02/29", false, 0},
        DateCase{u"1900/02/29", false, 0}, DateCase{u"2012/13/01", false, 0},
        DateCase{u"2012/00/10", false, 0}, DateCase{u"2012/04/31", false, 0},
        DateCase{u"2012/03/01 24:00:00", false, 0}, DateCase{u"2012/03/01 10:60", false, 0},
        DateCase{u"2012/03/01 10:00:60", false, 0}, DateCase{u"2012/03-01", false, 0},
        DateCase{u"12/03/01", false, 0}, DateCase{u"0099/12/31", false, 0},
        DateCase{u"20120/03/01", false, 0}, DateCase{u"2012/03/001", false, 0},
        DateCase{u"2012/03/01 10", false, 0}, DateCase{u"2012/03/01 10:00:00 PM", false, 0},
        DateCase{u"2012/03/01\u00a010:00", false, 0},
        DateCase{u"2012/03/01 10:00:00 0000000000000000000000000000000000000000000000000000", false,
                 0}));

TEST(DeviceDateFormat, RoundTripsAndRounds) {
    for (const char16_t* text :
         {u"2012/03/01 10:00:00", u"1899/12/29 06:00:00", u"0100/01/01 00:00:01",
          u"9999/12/31 23:59:59", u"1899/12/30 00:00:00", u"2000/02/29 12:34:56"}) {
        const auto value = platform::parseDeviceDate(text);
        ASSERT_TRUE(value) << std::string(text, text + 19);
        EXPECT_EQ(platform::formatDeviceDate(*value), text);
    }
    EXPECT_EQ(platform::formatDeviceDate(0.99999999), u"1899/12/31 00:00:00");
    EXPECT_EQ(platform::formatDeviceDate(-1.99999999), u"1899/12/30 00:00:00");
    EXPECT_EQ(platform::formatDeviceDate(NAN), u"");
    EXPECT_EQ(platform::formatDeviceDate(1e300), u"");
    EXPECT_EQ(platform::formatDeviceDate(-700000), u"");
}

}  // namespace
