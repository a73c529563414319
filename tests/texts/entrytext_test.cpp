#include "app/texts/entrytext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EntryCase {
    const char* name;
    std::u16string text;
    uint16_t kind;
    uint16_t flags;
    char16_t key;
    std::u16string expected;
};

class EntryTextTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EntryTextTest, BuildsShownText) {
    const EntryCase& row = GetParam();
    EXPECT_EQ(BuildEntryText(row.text, row.kind, row.flags, row.key), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryTextTest,
    ::testing::Values(
        EntryCase{"KeyInText", u"File", 0, 0x01, u'f', u"&File"},
        EntryCase{"KeyNotInText", u"Open", 0, 0x01, u'x', u"Open(&X)"},
        EntryCase{"AmpersandKeptUnchanged", u"F&ile", 0, 0x01, u'f', u"F&ile"},
        EntryCase{"AmpersandKeptWithSuffixFlag", u"F&ile", 0, 0x11, u'z', u"F&ile"},
        EntryCase{"AlwaysSuffix", u"File", 0, 0x11, u'f', u"File(&F)"},
        EntryCase{"MenuItemWithTail", u"Open\tCtrl+O", 5, 0x05, u'o', u"&Open...\tCtrl+O"},
        EntryCase{"TabOutsideMenuItemIsText", u"a\tb", 0, 0x03, u'b', u"a\t&b:"},
        EntryCase{"UpperBeforeLower", u"save aS", 0, 0x01, u's', u"save a&S"},
        EntryCase{"UpperFoundFirst", u"save As", 0, 0x01, u'a', u"save &As"},
        EntryCase{"LowerWhenNoUpper", u"save", 0, 0x01, u'A', u"s&ave"},
        EntryCase{"NoKeyFlagNoKeyWork", u"File", 0, 0x00, u'f', u"File"},
        EntryCase{"ZeroKeyNoKeyWork", u"File", 0, 0x11, u'\0', u"File"},
        EntryCase{"PunctuationOrder", u"Name", 0, 0x0E, u'\0', u"Name ...:"},
        EntryCase{"SuffixThenPunctuationThenTail", u"Go\tF5", 5, 0x1F, u'g', u"Go(&G) ...:\tF5"},
        EntryCase{"HighFlagBitsIgnored", u"File", 0, 0xFF00, u'f', u"File"},
        EntryCase{"EmptyText", u"", 0, 0x01, u'k', u"(&K)"},
        EntryCase{"NonLatinKey", u"\u0444\u0430\u0439\u043b", 0, 0x01, u'\u0424',
                  u"&\u0444\u0430\u0439\u043b"}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return info.param.name; });

TEST(EntryTextLengthTest, AtMostNineMoreCharacters) {
    const std::u16string text = u"Open\tCtrl+O";
    EXPECT_LE(BuildEntryText(text, 5, 0xFF, u'z').size(), text.size() + 9);
}

}  // namespace
