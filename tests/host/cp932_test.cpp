// Code page 932 conversions: native names, user text, display text and character widths.
#include "host/cp932.h"

#include <gtest/gtest.h>

#include "tests/support/hex.h"

namespace {

struct NameRow {
    const char* label;
    std::string cp932;
    std::string utf8;
};

class Cp932Name : public testing::TestWithParam<NameRow> {};

TEST_P(Cp932Name, ConvertsToNativeNameAndBack) {
    const NameRow& row = GetParam();
    const auto native = host::Cp932ToNativeName(row.cp932);
    ASSERT_TRUE(native.has_value());
    EXPECT_EQ(Hex(native->native()), Hex(row.utf8));
    EXPECT_EQ(Hex(host::Utf8ToCp932(row.utf8)), Hex(row.cp932));
    EXPECT_EQ(Hex(host::Cp932ToUtf8(row.cp932)), Hex(row.utf8));
}

INSTANTIATE_TEST_SUITE_P(
    RoundTrip, Cp932Name,
    testing::Values(NameRow{"Ascii", "Foo [Bar] Baz - 3", "Foo [Bar] Baz - 3"},
                    NameRow{"Stars", "\x81\x9A\x81\x99", "★☆"},
                    NameRow{"SecondByteIsBackslash", "\x83\x5C\x95\x5C", "ソ表"},
                    NameRow{"SecondByteIsBar", "\x81\x7C", "－"},
                    NameRow{"HalfWidthKatakana", "\xB1\xDF", "ｱﾟ"},
                    NameRow{"NecCircledDigit", "\x87\x40", "①"},
                    NameRow{"IbmExtension", "\xFA\x40", "ⅰ"},
                    NameRow{"UserDefinedArea", "\xF0\x40", "\xEE\x80\x80"},
                    NameRow{"FullWidthReplacements", "\x81\x8F\x81\x5E\x81\x46", "￥／："}),
    [](const testing::TestParamInfo<NameRow>& info) { return info.param.label; });

struct InvalidRow {
    const char* label;
    std::string cp932;
    std::string display;  // UTF-8, U+FFFD for each invalid character
};

class Cp932Invalid : public testing::TestWithParam<InvalidRow> {};

TEST_P(Cp932Invalid, HasNoNativeNameAndShowsReplacementCharacters) {
    const InvalidRow& row = GetParam();
    EXPECT_FALSE(host::Cp932ToNativeName(row.cp932).has_value());
    EXPECT_EQ(Hex(host::Cp932ToUtf8(row.cp932)), Hex(row.display));
}

INSTANTIATE_TEST_SUITE_P(
    Display, Cp932Invalid,
    testing::Values(InvalidRow{"LoneLeadByte", "\x81", "\xEF\xBF\xBD"},
                    InvalidRow{"LeadByteCutAtEnd", "abc\x82", "abc\xEF\xBF\xBD"},
                    // The "/" after the lead byte is no second byte: it shows on its own.
                    InvalidRow{"LeadByteBeforeSlash", "\x81/x", "\xEF\xBF\xBD/x"},
                    InvalidRow{"LeadByteBeforeBlank", "\x81\x9A\x81 \x81\x99", "★\xEF\xBF\xBD ☆"},
                    // A well-formed but unassigned pair is one character: one U+FFFD.
                    InvalidRow{"UnassignedPair", "\x85\x40x", "\xEF\xBF\xBDx"},
                    InvalidRow{"UnassignedSingleByte",
                               "a\xFF"
                               "b",
                               "a\xEF\xBF\xBD"
                               "b"}),
    [](const testing::TestParamInfo<InvalidRow>& info) { return info.param.label; });

struct UserTextRow {
    const char* label;
    std::string utf8;
    std::string cp932;
};

class UserText : public testing::TestWithParam<UserTextRow> {};

TEST_P(UserText, BecomesCodePage932WithQuestionMarksForWhatItCannotSpell) {
    const UserTextRow& row = GetParam();
    EXPECT_EQ(Hex(host::Utf8ToCp932(row.utf8)), Hex(row.cp932));
}

INSTANTIATE_TEST_SUITE_P(
    Template, UserText,
    testing::Values(UserTextRow{"DefaultTemplate", "1 [2] 3 - 5", "1 [2] 3 - 5"},
                    UserTextRow{"Kanji", "曲 1", "\x8B\xC8 1"}, UserTextRow{"Empty", "", ""},
                    UserTextRow{"AccentedLetter", "caf\xC3\xA9 3", "caf? 3"},
                    UserTextRow{"EuroSign",
                                "\xE2\x82\xAC"
                                "1",
                                "?1"},
                    UserTextRow{"Emoji",
                                "3\xF0\x9F\x98\x80"
                                "3",
                                "3?3"},
                    UserTextRow{"BrokenUtf8",
                                "a\xFF\xC3"
                                "b",
                                "a??b"},
                    UserTextRow{"TruncatedAtEnd", "1\xE6\x9B", "1?"}),
    [](const testing::TestParamInfo<UserTextRow>& info) { return info.param.label; });

struct WidthRow {
    const char* label;
    char32_t codePoint;
    int width;
};

class CharWidth : public testing::TestWithParam<WidthRow> {};

TEST_P(CharWidth, CountsCodePage932Bytes) {
    EXPECT_EQ(host::Cp932CharWidth(GetParam().codePoint), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, CharWidth,
    testing::Values(WidthRow{"Ascii", U'a', 1}, WidthRow{"Nul", U'\0', 1},
                    WidthRow{"HalfWidthKatakana", U'\uFF71', 1}, WidthRow{"Kanji", U'\u66F2', 2},
                    WidthRow{"BlackStar", U'\u2605', 2}, WidthRow{"UnmappableLetter", U'\u00E9', 2},
                    WidthRow{"UnmappableEmoji", U'\U0001F600', 2},
                    WidthRow{"Surrogate", char32_t{0xD800}, 2},
                    WidthRow{"BeyondUnicode", char32_t{0x110000}, 2}),
    [](const testing::TestParamInfo<WidthRow>& info) { return info.param.label; });

}  // namespace
