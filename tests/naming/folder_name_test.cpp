// Template expansion: digit codes, literal bytes, missing fields and the substitution of the
// composed name.
#include "naming/folder_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/naming/chart_files.h"

namespace {

using naming_test::Hex;
using naming_test::Stars;
using naming_test::TempFolder;

const std::string kFooChart = "#ARTIST Foo\r\n#GENRE Bar\r\n#TITLE Baz\r\n#PLAYLEVEL 3\r\n";

struct TemplateCase {
    std::string name;
    std::string chart;
    std::string nameTemplate;
    std::string expected;
};

void PrintTo(const TemplateCase& row, std::ostream* out) {
    *out << row.name;
}

class TemplateTest : public testing::TestWithParam<TemplateCase> {
  protected:
    TempFolder folder_;
};

TEST_P(TemplateTest, ComposesName) {
    const TemplateCase& row = GetParam();
    naming::FolderName name =
        naming::MakeFolderName(folder_.Write("chart.bms", row.chart), row.nameTemplate);
    EXPECT_FALSE(name.readFailed);
    EXPECT_EQ(Hex(name.name), Hex(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, TemplateTest,
    testing::Values(
        TemplateCase{"DefaultTemplate", kFooChart, "1 [2] 3 - 5", "Foo [Bar] Baz - " + Stars(3, 3)},
        TemplateCase{"DefaultTemplateEmptyChart", "", "1 [2] 3 - 5", " []  - "},
        TemplateCase{"AllFiveFields", kFooChart, "12345", "FooBarBaz3" + Stars(3, 3)},
        TemplateCase{"LevelTextKeepsBlank", "#PLAYLEVEL  7", "4", " 7"},
        TemplateCase{"StarsOfBlankLevel", "#PLAYLEVEL  7", "5", Stars(7, 0)},
        TemplateCase{"NoIntegerLevel", "#PLAYLEVEL 7a", "[4][5]", "[------][]"},
        TemplateCase{"SlashReplaced", kFooChart, "3/1",
                     "Baz\x81\x5E"
                     "Foo"},
        TemplateCase{"DigitZeroInsertsNothing", kFooChart, "10", "Foo"},
        TemplateCase{"ZeroAloneGivesEmptyName", kFooChart, "0", ""},
        TemplateCase{"UnusedDigitsInsertNothing", kFooChart, "6a7b8c9", "abc"},
        TemplateCase{"EmptyTemplate", kFooChart, "", ""},
        TemplateCase{"DoubleByteTemplateCopied", kFooChart, "\x8B\xC8", "\x8B\xC8"},
        TemplateCase{"DoubleByteWithReservedSecondByte", kFooChart,
                     "\x83\x5C"
                     "1",
                     "\x83\x5C"
                     "Foo"},
        TemplateCase{"FieldUsedTwice", kFooChart, "11", "FooFoo"},
        TemplateCase{"ReservedFromHeaderReplaced", "#ARTIST AC/DC\r\n#TITLE what?", "1 - 3",
                     "AC\x81\x5E"
                     "DC - what\x81\x48"},
        TemplateCase{"ReservedFromTemplateReplaced", kFooChart, "<1|2>",
                     "\x81\x83"
                     "Foo\x81\x62"
                     "Bar\x81\x84"}),
    [](const auto& info) { return info.param.name; });

TEST(TemplateReadFailure, UnreadableChartGivesEmptyNameWhateverTheTemplate) {
    TempFolder folder;
    for (const char* nameTemplate : {"1 [2] 3 - 5", "", "abc"}) {
        naming::FolderName name =
            naming::MakeFolderName(folder.path() / "missing.bms", nameTemplate);
        EXPECT_TRUE(name.readFailed) << nameTemplate;
        EXPECT_EQ(Hex(name.name), "") << nameTemplate;
    }
}

}  // namespace
