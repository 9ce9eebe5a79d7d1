// The name guard: which composed names may become a folder name.
#include "host/name_guard.h"

#include <gtest/gtest.h>

#include "tests/support/hex.h"

namespace {

using host::NameRefusal;

struct GuardRow {
    const char* label;
    std::string name;  // code page 932
    NameRefusal refusal;
    std::string native;  // UTF-8, when accepted
};

class NameGuard : public testing::TestWithParam<GuardRow> {};

TEST_P(NameGuard, AcceptsOnlySafeNames) {
    const GuardRow& row = GetParam();
    const host::GuardedName guarded = host::GuardFolderName(row.name);
    EXPECT_EQ(guarded.refusal, row.refusal) << "name " << Hex(row.name);
    ASSERT_EQ(guarded.native.has_value(), row.refusal == NameRefusal::None);
    if (guarded.native) {
        EXPECT_EQ(Hex(guarded.native->native()), Hex(row.native));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameGuard,
    testing::Values(GuardRow{"DefaultTemplateName",
                             "Foo [Bar] Baz - \x81\x9A\x81\x9A\x81\x9A\x81\x99\x81\x99\x81\x99",
                             NameRefusal::None, "Foo [Bar] Baz - ★★★☆☆☆"},
                    GuardRow{"EmptyFieldsName", " []  - ", NameRefusal::None, " []  - "},
                    GuardRow{"SecondByteIsBackslash", "\x83\x5C", NameRefusal::None, "ソ"},
                    GuardRow{"ThreeDots", "...", NameRefusal::None, "..."},
                    // A backslash is an ordinary character of a POSIX name.
                    GuardRow{"Backslash", "a\\b", NameRefusal::None, "a\\b"},
                    GuardRow{"Empty", "", NameRefusal::Empty, ""},
                    GuardRow{"Dot", ".", NameRefusal::DotName, ""},
                    GuardRow{"DotDot", "..", NameRefusal::DotName, ""},
                    GuardRow{"Slash", "AC/DC", NameRefusal::PathSeparator, ""},
                    GuardRow{"OnlySlash", "/", NameRefusal::PathSeparator, ""},
                    GuardRow{"Nul", std::string("a\0b", 3), NameRefusal::ControlCharacter, ""},
                    GuardRow{"LineFeed", "a\nb", NameRefusal::ControlCharacter, ""},
                    GuardRow{"CarriageReturn", "a\rb", NameRefusal::ControlCharacter, ""},
                    GuardRow{"Tab", "a\tb", NameRefusal::ControlCharacter, ""},
                    GuardRow{"UnitSeparator", "a\x1F", NameRefusal::ControlCharacter, ""},
                    GuardRow{"Delete", "a\x7F", NameRefusal::ControlCharacter, ""},
                    // Control bytes are looked for before the encoding.
                    GuardRow{"LeadByteBeforeLineFeed", "a\x81\nb", NameRefusal::ControlCharacter,
                             ""},
                    GuardRow{"LoneLeadByteAtEnd", "abc\x81", NameRefusal::InvalidEncoding, ""},
                    GuardRow{"LeadByteBeforeSlash", "\x81/..", NameRefusal::InvalidEncoding, ""},
                    GuardRow{"UnassignedPair", "\x85\x40", NameRefusal::InvalidEncoding, ""}),
    [](const testing::TestParamInfo<GuardRow>& info) { return info.param.label; });

}  // namespace
