// The output line format: every field escapes to a tab- and line-free text and parses back.
#include "cli/log_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cli::EscapeField;
using cli::FormatLine;
using cli::LogLine;
using cli::ParseLine;
using cli::UnescapeField;

std::string Hex(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!hex.empty())
            hex += ' ';
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

struct EscapeRow {
    const char* name;
    std::string raw;
    std::string escaped;
};

class EscapeTest : public testing::TestWithParam<EscapeRow> {};

TEST_P(EscapeTest, EscapesAndParsesBack) {
    const EscapeRow& row = GetParam();
    const std::string escaped = EscapeField(row.raw);
    EXPECT_EQ(Hex(escaped), Hex(row.escaped));
    for (char c : escaped) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_FALSE(byte < 0x20 || byte == 0x7F) << "raw control byte in " << Hex(escaped);
    }
    const auto back = UnescapeField(escaped);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(Hex(*back), Hex(row.raw));

    // The same bytes in every field of a line come back from the line.
    const LogLine line{"renamed", row.raw, row.raw, row.raw, row.raw};
    const auto parsed = ParseLine(FormatLine(line));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->outcome, "renamed");
    EXPECT_EQ(Hex(parsed->chart), Hex(row.raw));
    EXPECT_EQ(Hex(parsed->folder), Hex(row.raw));
    EXPECT_EQ(Hex(parsed->target), Hex(row.raw));
    EXPECT_EQ(Hex(parsed->reason), Hex(row.raw));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EscapeTest,
    testing::Values(EscapeRow{"Empty", "", ""}, EscapeRow{"Plain", "/bms/song 1", "/bms/song 1"},
                    EscapeRow{"Backslash", "C:\\BMS\\a", "C:\\\\BMS\\\\a"},
                    EscapeRow{"EscapeLookalike", "\\t\\x41", "\\\\t\\\\x41"},
                    EscapeRow{"Tab", "a\tb", "a\\tb"}, EscapeRow{"LineFeed", "a\nb", "a\\nb"},
                    EscapeRow{"CarriageReturn", "a\r", "a\\r"},
                    EscapeRow{"Nul", std::string("a\0b", 3), "a\\x00b"},
                    EscapeRow{"OtherControls", "\x01\x1B\x1F", "\\x01\\x1B\\x1F"},
                    EscapeRow{"Delete", "\x7F", "\\x7F"},
                    EscapeRow{"Utf8", "\xE6\x9B\xB2", "\xE6\x9B\xB2"},
                    EscapeRow{"ShiftJisTrailBackslash", "\x83\x5C", "\x83\\\\"},
                    EscapeRow{"NotUtf8", "\xFF\xFE\x80\xC0", "\xFF\xFE\x80\xC0"}),
    [](const testing::TestParamInfo<EscapeRow>& info) { return info.param.name; });

struct BadRow {
    const char* name;
    std::string text;
};

class BadFieldTest : public testing::TestWithParam<BadRow> {};

TEST_P(BadFieldTest, IsRejected) {
    EXPECT_FALSE(UnescapeField(GetParam().text).has_value()) << Hex(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Fields, BadFieldTest,
                         testing::Values(BadRow{"TrailingBackslash", "a\\"},
                                         BadRow{"UnknownEscape", "\\q"}, BadRow{"ShortHex", "\\x4"},
                                         BadRow{"NoHex", "\\xZZ"}, BadRow{"RawControl", "a\x01"},
                                         BadRow{"RawDelete", "\x7F"}),
                         [](const testing::TestParamInfo<BadRow>& info) {
                             return info.param.name;
                         });

class BadLineTest : public testing::TestWithParam<BadRow> {};

TEST_P(BadLineTest, IsRejected) {
    EXPECT_FALSE(ParseLine(GetParam().text).has_value()) << Hex(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Lines, BadLineTest,
                         testing::Values(BadRow{"Empty", ""}, BadRow{"FourFields", "a\tb\tc\td"},
                                         BadRow{"SixFields", "a\tb\tc\td\te\tf"},
                                         BadRow{"BadEscape", "renamed\ta\\q\tb\tc\t"},
                                         BadRow{"InnerCarriageReturn", "renamed\ta\rb\tc\td\t"}),
                         [](const testing::TestParamInfo<BadRow>& info) {
                             return info.param.name;
                         });

TEST(LineTest, TrailingCarriageReturnIsDropped) {
    const auto line = ParseLine("renamed\t/a/x.bms\t/a\t/b\t\r");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->target, "/b");
    EXPECT_EQ(line->reason, "");
}

}  // namespace
