#include "platform/textconv.h"

#include <gtest/gtest.h>

namespace {

TEST(TextConv, RoundTripsEveryPlane) {
    const std::u16string text = u"Velnor \u00e9\u4e2d \U0001F600 end";
    EXPECT_EQ(platform::toUtf8(text), "Velnor \xC3\xA9\xE4\xB8\xAD \xF0\x9F\x98\x80 end");
    EXPECT_EQ(platform::toUtf16(platform::toUtf8(text)), text);
    EXPECT_EQ(platform::fromQString(platform::toQString(text)), text);
}

TEST(TextConv, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(platform::toUtf8(std::u16string(1, u'\xD800') + u"a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(platform::toUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    // A stray continuation byte, an overlong form, a truncated sequence, an encoded surrogate.
    EXPECT_EQ(platform::toUtf16("a\x80"
                                "b"),
              u"a\uFFFDb");
    EXPECT_EQ(platform::toUtf16("\xC0\xAF"), u"\uFFFD");
    EXPECT_EQ(platform::toUtf16("x\xE4\xB8"), u"x\uFFFD");
    EXPECT_EQ(platform::toUtf16("\xED\xA0\x80"), u"\uFFFD");
    EXPECT_EQ(platform::toUtf16("\xF4\x90\x80\x80"), u"\uFFFD");
}

}  // namespace
