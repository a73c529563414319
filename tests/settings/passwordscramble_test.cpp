#include "app/settings/passwordscramble.h"

#include <gtest/gtest.h>

namespace {

TEST(PasswordScramble, RoundTripsAsANumber) {
    for (const std::u16string plain :
         {u"0", u"1", u"9999", u"1234", u"255", u"65535", u"999999999"}) {
        const auto stored = ScramblePassword(plain);
        ASSERT_TRUE(stored);
        EXPECT_NE(*stored, plain);
        EXPECT_EQ(stored->find_first_not_of(u"0123456789"), std::u16string::npos);
        EXPECT_EQ(UnscramblePassword(*stored), plain);
    }
    // Leading zeros do not survive: the password is a number.
    EXPECT_EQ(UnscramblePassword(*ScramblePassword(u"0042")), u"42");
}

TEST(PasswordScramble, RejectsWhatIsNoNumber) {
    for (const std::u16string text : {u"", u"12a", u"-5", u" 12", u"1234567890", u"\uFF11"}) {
        EXPECT_FALSE(ScramblePassword(text));
    }
    for (const std::u16string text : {u"", u"x", u"99999999999", u"1073741824", u"+3"}) {
        EXPECT_FALSE(UnscramblePassword(text));
    }
}

}  // namespace
