// The header scan over chart files written byte for byte: lines, keywords, values, levels, the
// early stop and the charts that cannot be read.
#include "naming/bms_header.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "naming/folder_name.h"
#include "tests/naming/chart_files.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using namespace std::string_literals;
using naming_test::Hex;
using naming_test::Repeat;
using naming_test::Stars;
using naming_test::TempFolder;

void ExpectHeader(const naming::TBmsHeader& actual, const naming::TBmsHeader& expected) {
    EXPECT_EQ(Hex(actual.Artist), Hex(expected.Artist)) << "Artist";
    EXPECT_EQ(Hex(actual.Genre), Hex(expected.Genre)) << "Genre";
    EXPECT_EQ(Hex(actual.Title), Hex(expected.Title)) << "Title";
    EXPECT_EQ(Hex(actual.Level), Hex(expected.Level)) << "Level";
    EXPECT_EQ(Hex(actual.LevelStars), Hex(expected.LevelStars)) << "LevelStars";
}

// A line of filler bytes (no keyword) that is exactly length bytes long, line end not included.
std::string Filler(std::size_t length) {
    return Repeat("z", length);
}

const std::string kFourLines = "#ARTIST a\r\n#GENRE g\r\n#TITLE t\r\n#PLAYLEVEL 3\r\n";

struct ScanCase {
    std::string name;
    std::string chart;
    naming::TBmsHeader expected;
};

void PrintTo(const ScanCase& row, std::ostream* out) {
    *out << row.name;
}

class ScanTest : public testing::TestWithParam<ScanCase> {
  protected:
    TempFolder folder_;
};

TEST_P(ScanTest, ReadsHeaderValues) {
    const ScanCase& row = GetParam();
    ExpectHeader(naming::ReadBmsHeader(folder_.Write("chart.bms", row.chart)), row.expected);
}

const std::string k3 = Stars(3, 3);

INSTANTIATE_TEST_SUITE_P(
    LineSplitting, ScanTest,
    testing::Values(
        ScanCase{"CrLf", kFourLines, {"a", "g", "t", "3", k3}},
        ScanCase{"CrOnly", "#ARTIST a\r#GENRE g\r#TITLE t\r#PLAYLEVEL 3", {"a", "g", "t", "3", k3}},
        ScanCase{
            "Mixed", "#ARTIST a\r\n#GENRE g\r#TITLE t\r\n#PLAYLEVEL 3\r", {"a", "g", "t", "3", k3}},
        ScanCase{
            "LoneLfIsOrdinaryByte", "#ARTIST a\n#GENRE g\r\n", {"a\n#GENRE g", "", "", "", ""}},
        ScanCase{"LfOnlyChartIsOneLine",
                 "#TITLE t\n#ARTIST a\n#GENRE g\n",
                 {"", "", "t\n#ARTIST a\n#GENRE g\n", "", ""}},
        ScanCase{"LfOnlyKeywordAfterFirstLineUnseen", "x\n#TITLE t\n", {}},
        ScanCase{"LfOnlyValueCut",
                 "#TITLE " + Repeat("ab\n", 400),
                 {"", "", Repeat("ab\n", 400).substr(0, 1000), "", ""}},
        ScanCase{"CrCrLfGivesEmptyLineBetween", "#TITLE a\r\r\n#ARTIST b", {"b", "", "a", "", ""}},
        ScanCase{"LfAfterLfIsNextLinesByte", "#TITLE a\r\n\n#ARTIST b", {"", "", "a", "", ""}},
        ScanCase{"LastLineWithoutLineEnd", "#GENRE g", {"", "g", "", "", ""}},
        ScanCase{"EmptyFile", "", {}},
        ScanCase{"CtrlZEndsInput",
                 "#TITLE t\r\n#ARTIST a\x1A"
                 "bc\r\n#GENRE g",
                 {"a", "", "t", "", ""}},
        ScanCase{"CtrlZAtLineStart", "#TITLE t\r\n\x1A#GENRE g", {"", "", "t", "", ""}},
        ScanCase{"NulIsOrdinaryByte", "#TITLE a\0b\r\n#ARTIST \0"s, {"\0"s, "", "a\0b"s, "", ""}},
        ScanCase{"CrLfAcrossFirstBlockEdge", Filler(4095) + "\r\n#TITLE t", {"", "", "t", "", ""}},
        ScanCase{"CrEndsFirstBlockNoLf", Filler(4095) + "\r#TITLE t", {"", "", "t", "", ""}},
        ScanCase{"KeywordAcrossFirstBlockEdge",
                 Filler(4088) + "\r\n#TITLE across",
                 {"", "", "across", "", ""}},
        ScanCase{"LongLineBeforeHeader", Filler(100000) + "\r\n#ARTIST a", {"a", "", "", "", ""}},
        ScanCase{"CtrlZInLaterBlock",
                 Filler(70000) + "\r\n#TITLE t\x1A\r\n#ARTIST a",
                 {"", "", "t", "", ""}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    KeywordMatching, ScanTest,
    testing::Values(
        ScanCase{"LowerCaseKeyword", "#artist foo", {"foo", "", "", "", ""}},
        ScanCase{"MixedCaseKeywordValueKeepsCase", "#Title BaR", {"", "", "BaR", "", ""}},
        ScanCase{"LowerCasePlaylevel", "#playlevel 3", {"", "", "", "3", k3}},
        ScanCase{"LeadingBlankNotKeyword", " #TITLE t", {}},
        ScanCase{
            "ByteOrderMarkNotKeyword", "\xEF\xBB\xBF#TITLE t\r\n#GENRE g", {"", "g", "", "", ""}},
        ScanCase{"AnySeparatorByte", "#GENRE\tg\r\n#ARTIST:a", {"a", "g", "", "", ""}},
        ScanCase{"KeywordRunsOnIntoValue", "#TITLEXYZ", {"", "", "YZ", "", ""}},
        ScanCase{"DoubleByteSeparator", "#TITLE\x81\x40t", {"", "", "\x40t", "", ""}},
        ScanCase{"NothingElseRemoved", "#TITLE \t t \r\n", {"", "", "\t t ", "", ""}},
        ScanCase{"KeywordAlone", "#ARTIST\r\n#GENRE g", {"", "g", "", "", ""}},
        ScanCase{"KeywordAndSeparatorOnly", "#ARTIST \r\n#GENRE g", {"", "g", "", "", ""}},
        ScanCase{"LaterLineReplaces", "#TITLE a\r\n#TITLE b", {"", "", "b", "", ""}},
        ScanCase{"LaterEmptyLineEmpties", "#TITLE a\r\n#TITLE", {}},
        ScanCase{
            "OtherKeywordsPassedOver", "#SUBTITLE x\r\n#PLAYER 1\r\n#ARTIS a\r\n#PLAYLEVE 3", {}},
        ScanCase{"DoubleByteValueKeptWhole",
                 "#TITLE \x83\x5C\x95\x5C|",
                 {"", "", "\x83\x5C\x95\x5C|", "", ""}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(ValueCut, ScanTest,
                         testing::Values(ScanCase{"Value1000BytesKept",
                                                  "#ARTIST " + Filler(1000),
                                                  {Filler(1000), "", "", "", ""}},
                                         ScanCase{"Value1001BytesCut",
                                                  "#ARTIST " + Filler(1001) + "\r\n",
                                                  {Filler(1000), "", "", "", ""}},
                                         ScanCase{"LongValueCutAcrossBlocks",
                                                  "#TITLE " + Filler(70000) + "\r\n#ARTIST a",
                                                  {"a", "", Filler(1000), "", ""}},
                                         ScanCase{"CutFallsInsideDoubleByte",
                                                  "#TITLE a" + Repeat("\x82\xA0", 600),
                                                  {"", "", "a" + Repeat("\x82\xA0", 499) + "\x82",
                                                   "", ""}},
                                         ScanCase{"LongLevelCutThenNoInteger",
                                                  "#PLAYLEVEL " + Repeat("1", 1200),
                                                  {"", "", "", "------", ""}}),
                         [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    EarlyStop, ScanTest,
    testing::Values(
        ScanCase{"NothingAfterFourthLineRead",
                 kFourLines + "#TITLE later\r\n#ARTIST later\r\n\xFF\x00\x1A\x81"s,
                 {"a", "g", "t", "3", k3}},
        ScanCase{
            "StopsOnLineThatCompletesHeader",
            "#PLAYLEVEL 3\r\n#ARTIST a\r\n#GENRE g\r\n#PLAYLEVEL 4\r\n#TITLE t\r\n#PLAYLEVEL 5",
            {"a", "g", "t", "4", Stars(4, 2)}},
        ScanCase{"EmptyValueDoesNotCount",
                 "#ARTIST a\r\n#GENRE g\r\n#TITLE\r\n#PLAYLEVEL 1\r\n#TITLE t\r\n#TITLE u",
                 {"a", "g", "t", "1", Stars(1, 5)}},
        ScanCase{"NoIntegerLevelCounts",
                 "#ARTIST a\r\n#GENRE g\r\n#TITLE t\r\n#PLAYLEVEL x\r\n#PLAYLEVEL 2",
                 {"a", "g", "t", "------", ""}},
        ScanCase{"LaterLevelReplacesWhileValueMissing",
                 "#PLAYLEVEL 3\r\n#PLAYLEVEL 4\r\n#ARTIST a",
                 {"a", "", "", "4", Stars(4, 2)}}),
    [](const auto& info) { return info.param.name; });

struct LevelCase {
    std::string name;
    std::string text;   // what follows "#PLAYLEVEL" and its separator
    std::string level;  // the Level expected
    std::string stars;
};

void PrintTo(const LevelCase& row, std::ostream* out) {
    *out << row.name;
}

class LevelTest : public testing::TestWithParam<LevelCase> {
  protected:
    TempFolder folder_;
};

TEST_P(LevelTest, ConvertsLevelToStars) {
    const LevelCase& row = GetParam();
    naming::TBmsHeader header =
        naming::ReadBmsHeader(folder_.Write("chart.bms", "#PLAYLEVEL " + row.text + "\r\n"));
    EXPECT_EQ(Hex(header.Level), Hex(row.level));
    EXPECT_EQ(Hex(header.LevelStars), Hex(row.stars));
}

LevelCase Accepted(std::string name, std::string text, std::size_t black, std::size_t white) {
    return {std::move(name), text, text, Stars(black, white)};
}

LevelCase Rejected(std::string name, std::string text) {
    return {std::move(name), std::move(text), "------", ""};
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LevelTest,
    testing::Values(
        Accepted("Three", "3", 3, 3), Accepted("Zero", "0", 0, 6), Accepted("Six", "6", 6, 0),
        Accepted("Nine", "9", 9, 0), Accepted("MinusTwo", "-2", 0, 8),
        Accepted("HexA", "$A", 10, 0), Accepted("HexLowerCase", "$a", 10, 0),
        Accepted("LeadingBlankKept", " 7", 7, 0), Accepted("ManyLeadingBlanks", "    7", 7, 0),
        Accepted("HexAllOnesIsMinusOne", "$FFFFFFFF", 0, 7), Accepted("PlusSign", "+3", 3, 3),
        Accepted("LeadingZeros", "0007", 7, 0), Accepted("MinusZero", "-0", 0, 6),
        Accepted("HexLeadingZeros", "$000000001", 1, 5),
        Accepted("HexManyLeadingZeros", "$0000000000000000A", 10, 0),
        Accepted("BlankBeforeHex", " $2", 2, 4), Accepted("Stars499", "499", 499, 0),
        Accepted("Stars500", "500", 500, 0), Accepted("CappedAt500Black", "501", 500, 0),
        Accepted("Int32Max", "2147483647", 500, 0),
        Accepted("Int32MinPlusOne", "-2147483647", 0, 500),
        Accepted("Minus494FillsCap", "-494", 0, 500), Accepted("Minus495Capped", "-495", 0, 500),
        Accepted("HexInt32Min", "$80000000", 0, 500), Accepted("HexInt32Max", "$7FFFFFFF", 500, 0),
        LevelCase{"NulEndsText", "3\0junk"s, "3\0junk"s, Stars(3, 3)},
        LevelCase{"NulAfterBlank", " 4\0 "s, " 4\0 "s, Stars(4, 2)},
        Rejected("NulFirst", std::string(1, '\0') + "3"), Rejected("TrailingBlank", "3 "),
        Rejected("TrailingLetter", "3a"), Rejected("BlankAfterSign", "+ 3"), Rejected("Empty", ""),
        Rejected("BlanksOnly", "   "), Rejected("SignOnly", "-"), Rejected("DollarOnly", "$"),
        Rejected("SignBeforeHex", "-$1"), Rejected("SignAfterDollar", "$-1"),
        Rejected("ZeroXPrefix", "0x10"), Rejected("TabBeforeDigit", "\t3"),
        Rejected("Int32Min", "-2147483648"), Rejected("Int32MaxPlusOne", "2147483648"),
        Rejected("NineHexDigits", "$100000000"), Rejected("NotHexDigit", "$G"),
        Rejected("Exponent", "1e3"), Rejected("Decimal", "1.5"),
        Rejected("FullWidthDigit", "\x82\x52"), Rejected("HugeNumber", "99999999999999999999")),
    [](const auto& info) { return info.param.name; });

TEST(LevelTextOnly, PlaylevelWithoutSeparatorIsNoInteger) {
    TempFolder folder;
    naming::TBmsHeader header = naming::ReadBmsHeader(folder.Write("chart.bms", "#PLAYLEVEL"));
    EXPECT_EQ(header.Level, "------");
    EXPECT_EQ(Hex(header.LevelStars), "");
}

class ScanExtentTest : public testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(ScanExtentTest, HeaderInFirstKilobyteCostsOneBlockOfLargeChart) {
    std::string chart = kFourLines + Repeat("#00111:01020304\r\n", 500 * 1024 / 17);
    naming::TBmsScan scan = naming::ScanBmsHeader(folder_.Write("chart.bms", chart));
    EXPECT_LE(scan.bytesRead, naming::kFirstReadBytes);
    ExpectHeader(scan.header, {"a", "g", "t", "3", k3});
}

TEST_F(ScanExtentTest, MissingValueReadsToTheEnd) {
    std::string chart = "#ARTIST a\r\n" + Repeat("#00111:01020304\r\n", 20000);
    naming::TBmsScan scan = naming::ScanBmsHeader(folder_.Write("chart.bms", chart));
    EXPECT_EQ(scan.bytesRead, chart.size());
}

TEST_F(ScanExtentTest, BytesInMemoryScanLikeTheFile) {
    std::string chart = Filler(5000) + "\r\n" + kFourLines + Filler(90000);
    naming::TBmsScan fromFile = naming::ScanBmsHeader(folder_.Write("chart.bms", chart));
    naming::TBmsScan fromBytes = naming::ScanBmsHeaderBytes(chart);
    ExpectHeader(fromBytes.header, fromFile.header);
    EXPECT_EQ(fromBytes.bytesRead, fromFile.bytesRead);
}

// A caller that has already found the chart to be a regular file skips the look-up; the scan
// must then find the end by reading, for a chart shorter than a block and one without a header.
TEST_F(ScanExtentTest, KnownFileScansLikeLookedUpFile) {
    const std::string charts[] = {kFourLines, "#ARTIST a\r\n" + Filler(200000)};
    for (const std::string& chart : charts) {
        const std::filesystem::path file = folder_.Write("chart.bms", chart);
        naming::TBmsScan lookedUp = naming::ScanBmsHeader(file);
        naming::TBmsScan known = naming::ScanBmsHeader(file, naming::ChartCheck::KnownFile);
        ExpectHeader(known.header, lookedUp.header);
        EXPECT_EQ(known.bytesRead, lookedUp.bytesRead);
    }
}

TEST_F(ScanExtentTest, OpensChartWhoseNameCodePage932CannotSpell) {
    std::filesystem::path chart =
        folder_.Write(std::filesystem::path(u8"\u266A\U0001F3B5\u00E9.bms"), "#TITLE t");
    EXPECT_EQ(naming::ReadBmsHeader(chart).Title, "t");
}

struct FailureCase {
    std::string name;
    std::function<std::filesystem::path(const TempFolder&)> makeChart;
};

void PrintTo(const FailureCase& row, std::ostream* out) {
    *out << row.name;
}

class ReadFailureTest : public testing::TestWithParam<FailureCase> {
  protected:
    TempFolder folder_;
};

TEST_P(ReadFailureTest, ChartThatCannotBeReadFails) {
    std::filesystem::path chart = GetParam().makeChart(folder_);
    if (chart.empty()) {
        GTEST_SKIP() << "not possible on this system or as this user";
    }
    EXPECT_THROW(naming::ReadBmsHeader(chart), naming::ReadFailure);
    naming::FolderName name = naming::MakeFolderName(chart, "1 [2] 3 - 5");
    EXPECT_TRUE(name.readFailed);
    EXPECT_EQ(Hex(name.name), "");
}

std::vector<FailureCase> FailureCases() {
    std::vector<FailureCase> rows{
        {"MissingFile", [](const TempFolder& folder) { return folder.path() / "missing.bms"; }},
        {"Folder",
         [](const TempFolder& folder) {
             std::filesystem::create_directory(folder.path() / "song.bms");
             return folder.path() / "song.bms";
         }},
        {"DanglingLink",
         [](const TempFolder& folder) {
             std::filesystem::create_symlink(folder.path() / "gone.bms",
                                             folder.path() / "link.bms");
             return folder.path() / "link.bms";
         }},
    };
#ifndef _WIN32
    // Opening a FIFO without a writer would wait for ever: the test would hang.
    rows.push_back({"Fifo", [](const TempFolder& folder) {
                        std::filesystem::path fifo = folder.path() / "fifo.bms";
                        return ::mkfifo(fifo.c_str(), 0600) == 0 ? fifo : std::filesystem::path();
                    }});
    // Reading /dev/zero would never end.
    rows.push_back({"Device", [](const TempFolder&) {
                        std::filesystem::path device = "/dev/zero";
                        return std::filesystem::exists(device) ? device : std::filesystem::path();
                    }});
    rows.push_back({"NoReadPermission", [](const TempFolder& folder) {
                        std::filesystem::path chart = folder.Write("locked.bms", "#TITLE t");
                        std::filesystem::permissions(chart, std::filesystem::perms::none);
                        // root reads it anyway.
                        return ::geteuid() == 0 ? std::filesystem::path() : chart;
                    }});
#endif
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Failures, ReadFailureTest, testing::ValuesIn(FailureCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
