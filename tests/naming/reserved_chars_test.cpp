// The reserved-character substitution: each replacement, double-byte characters left whole, and
// the remainder cut of the splice.
#include "naming/reserved_chars.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/naming/chart_files.h"

namespace {

using naming_test::Hex;
using naming_test::Repeat;

struct ReplaceCase {
    std::string name;
    std::string input;
    std::string expected;
};

void PrintTo(const ReplaceCase& row, std::ostream* out) {
    *out << row.name;
}

class ReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTest, ReplacesReservedChars) {
    const ReplaceCase& row = GetParam();
    EXPECT_EQ(Hex(naming::ReplaceReservedChars(row.input)), Hex(row.expected));
}

const std::string kSo = "\x83\x5C";     // ソ
const std::string kHyo = "\x95\x5C";    // 表
const std::string kMinus = "\x81\x7C";  // －
const std::string kSlash = "\x81\x5E";  // ／

INSTANTIATE_TEST_SUITE_P(
    Substitutions, ReplaceTest,
    testing::Values(
        ReplaceCase{"Empty", "", ""},
        ReplaceCase{"NothingReserved", "Foo [Bar] Baz - ok", "Foo [Bar] Baz - ok"},
        ReplaceCase{"DoubleQuotes", "say \"hi\"", "say ''hi''"},
        ReplaceCase{"Backslash", "\\", "\x81\x8F"},
        ReplaceCase{"Slash", "AC/DC",
                    "AC\x81\x5E"
                    "DC"},
        ReplaceCase{"ColonSemicolon", "x:y;z", "x\x81\x46y\x81\x47z"},
        ReplaceCase{"Comma", "a,b", "a.b"}, ReplaceCase{"Asterisk", "a*b", "a-b"},
        ReplaceCase{"QuestionMark", "what?", "what\x81\x48"},
        ReplaceCase{"AngleBracketsAndBar", "<a|b>",
                    "\x81\x83"
                    "a\x81\x62"
                    "b\x81\x84"},
        ReplaceCase{"AllElevenInTableOrder", "\"\\/:;,*?<>|",
                    "''\x81\x8F\x81\x5E\x81\x46\x81\x47.-\x81\x48\x81\x83\x81\x84\x81\x62"},
        ReplaceCase{"AllElevenReversed", "|><?*,;:/\\\"",
                    "\x81\x62\x81\x84\x81\x83\x81\x48-.\x81\x47\x81\x46\x81\x5E\x81\x8F''"},
        ReplaceCase{"EveryOccurrence", "a/b/c", "a" + kSlash + "b" + kSlash + "c"},
        ReplaceCase{"ManyOfOneChar", Repeat("?", 300), Repeat("\x81\x48", 300)},
        ReplaceCase{"SecondByteBackslashKept", kSo + kHyo, kSo + kHyo},
        ReplaceCase{"SecondByteBarKept", kMinus, kMinus},
        ReplaceCase{"DoubleByteNextToReserved", kSo + "/", kSo + kSlash},
        ReplaceCase{"ReservedBetweenDoubleBytes", kHyo + "\\" + kSo + "|" + kMinus,
                    kHyo + "\x81\x8F" + kSo + "\x81\x62" + kMinus},
        ReplaceCase{"HalfWidthKatakanaKept", "\xB1\xB2\xDF/", "\xB1\xB2\xDF" + kSlash},
        ReplaceCase{"LeadByteTakesReservedByte", "\x81/", "\x81/"},
        ReplaceCase{"TrailingLoneLeadByteKept", "a/\x81", "a" + kSlash + "\x81"},
        ReplaceCase{"RemainderCutAfterReplaced", "ab/" + Repeat("x", 2000),
                    "ab" + kSlash + Repeat("x", 1000)},
        ReplaceCase{"RemainderOf1000Kept", "/" + Repeat("x", 1000), kSlash + Repeat("x", 1000)},
        ReplaceCase{"CutDropsLaterReserved", "/" + Repeat("x", 1000) + ",y",
                    kSlash + Repeat("x", 1000)},
        ReplaceCase{"EachPassCutsAgain", "x/" + Repeat("a", 10) + "/" + Repeat("b", 2000),
                    "x" + kSlash + Repeat("a", 10) + kSlash + Repeat("b", 989)},
        ReplaceCase{"TableOrderDecidesCut", ",/" + Repeat("z", 1500),
                    "." + kSlash + Repeat("z", 998)},
        ReplaceCase{"CutInsideDoubleByte", "/a" + Repeat(kSo, 600),
                    kSlash + "a" + Repeat(kSo, 499) + "\x83"}),
    [](const auto& info) { return info.param.name; });

struct SpliceCase {
    std::string name;
    std::string text;
    std::string replacement;
    std::size_t position;
    std::string expected;
};

void PrintTo(const SpliceCase& row, std::ostream* out) {
    *out << row.name;
}

class SpliceTest : public testing::TestWithParam<SpliceCase> {};

TEST_P(SpliceTest, SplicesReplacement) {
    const SpliceCase& row = GetParam();
    EXPECT_EQ(Hex(naming::ReplaceCharAt(row.text, row.replacement, row.position)),
              Hex(row.expected));
}

INSTANTIATE_TEST_SUITE_P(Splices, SpliceTest,
                         testing::Values(SpliceCase{"Middle", "abc", "XY", 2, "aXYc"},
                                         SpliceCase{"First", "abc", "X", 1, "Xbc"},
                                         SpliceCase{"Last", "abc", "X", 3, "abX"},
                                         SpliceCase{"RemainderCut", "a/" + Repeat("b", 1001), "X",
                                                    2, "aX" + Repeat("b", 1000)},
                                         SpliceCase{"PrefixNeverCut", Repeat("a", 3000) + "/b", "X",
                                                    3001, Repeat("a", 3000) + "Xb"}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
