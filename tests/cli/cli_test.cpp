// The command line on real folder trees: arguments, outcomes, the dry run agreeing with --apply,
// --undo giving every name back, and exit statuses.
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/progress.h"
#include "cli_support.h"
#include "host/name_guard.h"
#include "naming/folder_name.h"

namespace {

using cli_test::At;
using cli_test::Chart;
using cli_test::Listing;
using cli_test::Result;
using cli_test::RunInProcess;
using cli_test::RunProgram;
using cli_test::TempTree;
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Runs the test from inside the tree, so relative chart paths resolve against it.
class InTree {
  public:
    explicit InTree(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InTree() { fs::current_path(previous_); }

  private:
    fs::path previous_;
};

// ---- Arguments -------------------------------------------------------------------------------

struct ArgumentRow {
    const char* name;
    std::vector<std::string> arguments;  // "@" stands for the tree's root
    std::string input;
    int status;
    std::string out;  // exact; with outPrefix only its beginning
    std::string err;  // a part of standard error; empty: nothing on standard error
    bool outPrefix = false;
};

class ArgumentTest : public testing::TestWithParam<ArgumentRow> {
  protected:
    void SetUp() override {
        tree.Write("lib/a/x.bms", Chart("Song"));
        tree.Write("lib/b/y.bms", Chart("Tune"));
        fs::create_directory_symlink("a", tree.path() / "lib/link");
        before = Listing(tree.path());
    }

    TempTree tree;
    std::string before;
};

TEST_P(ArgumentTest, GivesStatusAndOutput) {
    const ArgumentRow& row = GetParam();
    std::vector<std::string> arguments;
    for (const std::string& argument : row.arguments)
        arguments.push_back(At(argument, tree.path()));
    Result result;
    {
        InTree inTree(tree.path());
        result = RunInProcess(arguments, At(row.input, tree.path()));
    }
    EXPECT_EQ(result.status, row.status);
    const std::string out = At(row.out, tree.path());
    if (row.outPrefix)
        EXPECT_EQ(result.out.substr(0, out.size()), out);
    else
        EXPECT_EQ(result.out, out);
    if (row.err.empty()) {
        EXPECT_EQ(result.err, "");
    } else {
        EXPECT_NE(result.err.find(row.err), std::string::npos) << result.err;
        EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    }
    EXPECT_EQ(Listing(tree.path()), before) << "a run without --apply changed the tree";
}

const std::string kSongA = "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\t\n";
const std::string kTuneB = "renamed\t@/lib/b/y.bms\t@/lib/b\t@/lib/Tune\t\n";

INSTANTIATE_TEST_SUITE_P(
    Cli, ArgumentTest,
    testing::Values(
        ArgumentRow{"NoArguments", {}, "", 2, "", "no chart was given (see --help)"},
        ArgumentRow{"OnlyTemplate", {"-t", "3"}, "", 2, "", "no chart was given (see --help)"},
        ArgumentRow{"UnknownOption",
                    {"--bogus", "@/lib/a/x.bms"},
                    "",
                    2,
                    "",
                    "unknown option --bogus (see --help)"},
        ArgumentRow{"TemplateWithoutValue",
                    {"@/lib/a/x.bms", "-t"},
                    "",
                    2,
                    "",
                    "-t needs a value (see --help)"},
        ArgumentRow{"EmptyChart", {"-t", "3", ""}, "", 2, "", "empty chart path"},
        ArgumentRow{"UndoWithoutLog", {"--undo"}, "", 2, "", "--undo needs a value"},
        ArgumentRow{"UndoWithChart",
                    {"--undo", "@/log", "@/lib/a/x.bms"},
                    "",
                    2,
                    "",
                    "--undo takes no chart"},
        ArgumentRow{
            "UndoWithApply", {"--apply", "--undo=@/log"}, "", 2, "", "--undo takes no chart"},
        ArgumentRow{"UndoTwice",
                    {"--undo", "@/log", "--undo", "@/log"},
                    "",
                    2,
                    "",
                    "--undo was given twice"},
        ArgumentRow{
            "Help", {"--help"}, "", 0, "Usage: bms-folder-renamer-cli [-t TEMPLATE]", "", true},
        ArgumentRow{"ShortHelp", {"-t", "3", "-h"}, "", 0, "Usage: ", "", true},
        ArgumentRow{
            "Version", {"--version"}, "", 0, "bms-folder-renamer-cli " BFR_VERSION_TEXT "\n", ""},
        ArgumentRow{"StdinWithCrLfAndBlankLines",
                    {"-t", "3", "-"},
                    "@/lib/a/x.bms\r\n\r\n\n@/lib/b/y.bms",
                    0,
                    kSongA + kTuneB,
                    ""},
        ArgumentRow{"StdinKeepsItsPlaceInTheOrder",
                    {"-t3", "@/lib/b/y.bms", "-"},
                    "@/lib/a/x.bms\n",
                    0,
                    kTuneB + kSongA,
                    ""},
        ArgumentRow{"EmptyStdin", {"-"}, "", 0, "", ""},
        // The system would see only the text before the NUL: the chart file, not its folder.
        ArgumentRow{"StdinLineWithNul",
                    {"--apply", "-"},
                    std::string("@/lib/a/x.bms\0q/y.bms\n", 22),
                    2,
                    "",
                    "line 1 of standard input holds a NUL byte"},
        ArgumentRow{"AfterDoubleDashAllAreCharts",
                    {"-t", "3", "--", "--apply"},
                    "",
                    0,
                    "skipped\t--apply\t\t\tno such file\n",
                    ""},
        ArgumentRow{"LongTemplateOption",
                    {"--template=3 [1]", "@/lib/a/x.bms"},
                    "",
                    0,
                    "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song []\t\n",
                    ""},
        ArgumentRow{"Utf8Template",
                    {"-t", "3 \xE2\x98\x85", "@/lib/a/x.bms"},
                    "",
                    0,
                    "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song \xE2\x98\x85\t\n",
                    ""},
        // A character code page 932 cannot spell becomes "?", which the name then shows as "？".
        ArgumentRow{"UnmappableTemplateCharacter",
                    {"-t", "3 \xF0\x9F\x98\x80", "@/lib/a/x.bms"},
                    "",
                    0,
                    "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song \xEF\xBC\x9F\t\n",
                    ""},
        ArgumentRow{"RelativePathWithDots",
                    {"-t", "3", "lib/./b/../a/x.bms"},
                    "",
                    0,
                    "renamed\tlib/./b/../a/x.bms\t@/lib/a\t@/lib/Song\t\n",
                    ""},
        // The chart folder is the one that holds the path as given: the link, not its target.
        ArgumentRow{"SymbolicLinkIsNotResolved",
                    {"-t", "3", "lib/link/x.bms"},
                    "",
                    0,
                    "renamed\tlib/link/x.bms\t@/lib/link\t@/lib/Song\t\n",
                    ""},
        ArgumentRow{"TrailingSeparatorNamesNoFile",
                    {"-t", "3", "lib/a/x.bms/"},
                    "",
                    0,
                    "skipped\tlib/a/x.bms/\t\t\tno such file\n",
                    ""}),
    [](const testing::TestParamInfo<ArgumentRow>& info) { return info.param.name; });

// ---- Outcomes --------------------------------------------------------------------------------

struct OutcomeRow {
    const char* name;
    // Builds the tree; false when this machine cannot build it (a file root can still read).
    std::function<bool(TempTree&)> setUp;
    std::vector<std::string> arguments;  // "@" stands for the tree's root
    std::string out;
    int status;
};

// The same lines and status from the dry run and from --apply, the dry run changing nothing, and
// --undo giving the tree back exactly.
class OutcomeTest : public testing::TestWithParam<OutcomeRow> {
  protected:
    TempTree tree;
    TempTree logs;
};

TEST_P(OutcomeTest, DryRunAgreesWithApplyAndUndoRestores) {
    const OutcomeRow& row = GetParam();
    if (!row.setUp(tree))
        GTEST_SKIP() << "this machine cannot build the tree";
    std::vector<std::string> arguments;
    for (const std::string& argument : row.arguments)
        arguments.push_back(At(argument, tree.path()));
    const std::string expected = At(row.out, tree.path());
    const std::string before = Listing(tree.path());

    const Result dry = RunInProcess(arguments);
    EXPECT_EQ(dry.out, expected);
    EXPECT_EQ(dry.status, row.status);
    EXPECT_EQ(dry.err, "");
    EXPECT_EQ(Listing(tree.path()), before) << "the dry run changed the tree";

    arguments.insert(arguments.begin(), "--apply");
    const Result applied = RunInProcess(arguments);
    EXPECT_EQ(applied.out, expected);
    EXPECT_EQ(applied.status, row.status);
    EXPECT_EQ(applied.err, "");

    tree.Write("../" + logs.path().filename().string() + "/log", applied.out);
    const Result undone = RunInProcess({"--undo", (logs.path() / "log").string()});
    EXPECT_EQ(undone.status, 0) << undone.out << undone.err;
    EXPECT_EQ(Listing(tree.path()), before) << "--undo did not restore the tree";
}

bool Fifo(TempTree& tree, const char* relative) {
    fs::create_directories((tree.path() / relative).parent_path());
    return mkfifo((tree.path() / relative).c_str(), 0644) == 0;
}

// A chart this process cannot open; impossible where permissions do not hold it back (root).
bool Unreadable(TempTree& tree, const char* relative) {
    const fs::path chart = tree.Write(relative, Chart("Song"));
    fs::permissions(chart, fs::perms::none);
    return access(chart.c_str(), R_OK) != 0;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, OutcomeTest,
    testing::Values(
        OutcomeRow{"Renamed",
                   [](TempTree& t) { return !t.Write("lib/a/x.bms", Chart("Song")).empty(); },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\t\n",
                   0},
        OutcomeRow{"Unchanged",
                   [](TempTree& t) { return !t.Write("lib/Song/x.bms", Chart("Song")).empty(); },
                   {"-t", "3", "@/lib/Song/x.bms"},
                   "unchanged\t@/lib/Song/x.bms\t@/lib/Song\t@/lib/Song\t\n",
                   0},
        OutcomeRow{"NoSuchFile",
                   [](TempTree& t) { return !t.MakeFolder("lib").empty(); },
                   {"@/lib/none.bms"},
                   "skipped\t@/lib/none.bms\t\t\tno such file\n",
                   0},
        OutcomeRow{"Folder",
                   [](TempTree& t) { return !t.Write("lib/a/x.bms", Chart("Song")).empty(); },
                   {"@/lib/a"},
                   "skipped\t@/lib/a\t\t\tnot a regular file\n",
                   0},
        OutcomeRow{"Fifo",
                   [](TempTree& t) { return Fifo(t, "lib/a/p.bms"); },
                   {"@/lib/a/p.bms"},
                   "skipped\t@/lib/a/p.bms\t\t\tnot a regular file\n",
                   0},
        OutcomeRow{"TwoChartsOfOneFolder",
                   [](TempTree& t) {
                       t.Write("lib/a/x.bms", Chart("Song"));
                       return !t.Write("lib/a/y.bms", Chart("Tune")).empty();
                   },
                   {"-t", "3", "@/lib/a/x.bms", "@/lib/a/y.bms"},
                   "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\t\n"
                   "skipped\t@/lib/a/y.bms\t\t\tno such file\n",
                   0},
        OutcomeRow{"RenamedFolderReachedByItsNewPath",
                   [](TempTree& t) { return !t.Write("lib/a/x.bms", Chart("Song")).empty(); },
                   {"-t", "3", "@/lib/a/x.bms", "@/lib/Song/x.bms"},
                   "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\t\n"
                   "unchanged\t@/lib/Song/x.bms\t@/lib/Song\t@/lib/Song\t\n",
                   0},
        OutcomeRow{"TwoFoldersOneName",
                   [](TempTree& t) {
                       t.Write("lib/a/x.bms", Chart("Song"));
                       return !t.Write("lib/b/y.bms", Chart("Song")).empty();
                   },
                   {"-t", "3", "@/lib/a/x.bms", "@/lib/b/y.bms"},
                   "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\t\n"
                   "failed\t@/lib/b/y.bms\t@/lib/b\t@/lib/Song\ttarget exists\n",
                   1},
        OutcomeRow{"EmptyFolderIsNotReplaced",
                   [](TempTree& t) {
                       t.MakeFolder("lib/Song");
                       return !t.Write("lib/a/x.bms", Chart("Song")).empty();
                   },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "failed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\ttarget exists\n",
                   1},
        OutcomeRow{"FileIsNotReplaced",
                   [](TempTree& t) {
                       t.Write("lib/Song", "a file");
                       return !t.Write("lib/a/x.bms", Chart("Song")).empty();
                   },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "failed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\ttarget exists\n",
                   1},
        OutcomeRow{"NonChartTakesTheEmptyFields",
                   [](TempTree& t) { return !t.Write("lib/a/notes.txt", "hello\r\n").empty(); },
                   {"@/lib/a/notes.txt"},
                   "renamed\t@/lib/a/notes.txt\t@/lib/a\t@/lib/ []  - \t\n",
                   0},
        OutcomeRow{"EmptyName",
                   [](TempTree& t) { return !t.Write("lib/a/notes.txt", "hello\r\n").empty(); },
                   {"-t", "3", "@/lib/a/notes.txt"},
                   "refused\t@/lib/a/notes.txt\t@/lib/a\t\tname is empty\n",
                   1},
        OutcomeRow{"DotDotName",
                   [](TempTree& t) { return !t.Write("lib/a/x.bms", Chart("..")).empty(); },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "refused\t@/lib/a/x.bms\t@/lib/a\t\tname is . or ..\n",
                   1},
        OutcomeRow{
            "LineFeedFromAnLfOnlyChart",
            [](TempTree& t) { return !t.Write("lib/a/x.bms", "#TITLE Song\n#BPM 120\n").empty(); },
            {"-t", "3", "@/lib/a/x.bms"},
            "refused\t@/lib/a/x.bms\t@/lib/a\t\tname holds a control character\n",
            1},
        OutcomeRow{"LeadByteBeforeSlash",
                   [](TempTree& t) { return !t.Write("lib/a/x.bms", Chart("\x83/x")).empty(); },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "refused\t@/lib/a/x.bms\t@/lib/a\t\tname is not valid code page 932\n",
                   1},
        OutcomeRow{"Unreadable",
                   [](TempTree& t) { return Unreadable(t, "lib/a/x.bms"); },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "read-error\t@/lib/a/x.bms\t@/lib/a\t\tchart cannot be read\n",
                   1},
        OutcomeRow{"NameTooLong",
                   [](TempTree& t) {
                       return !t.Write("lib/a/x.bms", Chart(std::string(256, 'n'))).empty();
                   },
                   {"-t", "3", "@/lib/a/x.bms"},
                   "failed\t@/lib/a/x.bms\t@/lib/a\t@/lib/" + std::string(256, 'n') + "\t" +
                       std::make_error_code(std::errc::filename_too_long).message() + "\n",
                   1},
        OutcomeRow{"ChartReachedThroughALink",
                   [](TempTree& t) {
                       t.Write("lib/a/x.bms", Chart("Song"));
                       t.MakeFolder("lib/b");
                       fs::create_symlink("../a/x.bms", t.path() / "lib/b/link.bms");
                       return true;
                   },
                   {"-t", "3", "@/lib/b/link.bms"},
                   "renamed\t@/lib/b/link.bms\t@/lib/b\t@/lib/Song\t\n",
                   0},
        OutcomeRow{"ControlBytesInPathsAreEscaped",
                   [](TempTree& t) { return !t.Write("lib/a\tb\\c/x.bms", Chart("S\\T")).empty(); },
                   {"-t", "3", "@/lib/a\tb\\c/x.bms"},
                   "renamed\t@/lib/a\\tb\\\\c/x.bms\t@/lib/a\\tb\\\\c\t@/lib/S\xEF\xBF\xA5T\t\n",
                   0}),
    [](const testing::TestParamInfo<OutcomeRow>& info) { return info.param.name; });

// ---- Generated trees -------------------------------------------------------------------------

// A library of chart folders with colliding titles, folders already named right, several charts
// per folder, unsafe titles and entries that are no charts, and the list to feed it.
class GeneratedTree {
  public:
    GeneratedTree(const TempTree& tree, unsigned seed, std::string nameTemplate)
        : tree_(tree), random_(seed), template_(std::move(nameTemplate)) {
        static const char* const kTitles[] = {"Alpha", "Beta", "Gamma",  "Alpha",
                                              "Beta",  "..",   "\x83/x", "Delta"};
        const int folders = 6 + Pick(8);
        for (int f = 0; f < folders; ++f) {
            const std::string folder = "lib/f" + std::to_string(f);
            const int charts = 1 + Pick(3);
            for (int c = 0; c < charts; ++c) {
                const std::string title =
                    Pick(12) == 0 ? std::string(200 + Pick(100), 'x') : kTitles[Pick(8)];
                const bool lfOnly = Pick(10) == 0;
                const std::string body =
                    lfOnly ? "#TITLE " + title + "\n" : Chart(title) + "#ARTIST A" + title + "\r\n";
                const fs::path chart =
                    tree_.Write(folder + "/c" + std::to_string(c) + ".bms", body);
                // Unreadable where permissions hold (not for root, who reads it anyway).
                if (Pick(15) == 0)
                    fs::permissions(chart, fs::perms::none);
                Add(chart);
            }
            if (Pick(4) == 0)
                Add(tree_.Write(folder + "/notes.txt", "not a chart\r\n"));
            if (Pick(3) == 0)
                NameAfterItsChart(folder);
        }
        std::shuffle(list_.begin(), list_.end(), random_);
        // Entries that change between the runs' steps or are no charts at all.
        Insert(tree_.path() / "lib/missing.bms");
        Insert(tree_.path() / "lib/f0");
        if (mkfifo((tree_.path() / "lib/pipe.bms").c_str(), 0644) == 0)
            Insert(tree_.path() / "lib/pipe.bms");
        fs::create_symlink("nowhere.bms", tree_.path() / "lib/dangling.bms");
        Insert(tree_.path() / "lib/dangling.bms");
        Insert(list_[Pick(static_cast<int>(list_.size()))]);
        for (int n = 0; n < 3; ++n)
            Insert(NewPathOf(list_[Pick(static_cast<int>(list_.size()))]));
    }

    // The list as standard input: one absolute path a line.
    std::string Input() const {
        std::string input;
        for (const fs::path& path : list_)
            input += path.string() + "\n";
        return input;
    }

  private:
    int Pick(int below) { return static_cast<int>(random_() % static_cast<unsigned>(below)); }
    void Add(const fs::path& path) { list_.push_back(path); }
    void Insert(const fs::path& path) {
        list_.insert(list_.begin() + Pick(static_cast<int>(list_.size()) + 1), path);
    }

    // Where the chart would be once its folder carries the name the chart gives it.
    fs::path NewPathOf(const fs::path& chart) const {
        const naming::FolderName name = naming::MakeFolderName(chart, template_);
        const host::GuardedName guarded = host::GuardFolderName(name.name);
        if (name.readFailed || !guarded.native)
            return chart;
        return chart.parent_path().parent_path() / *guarded.native / chart.filename();
    }

    // Gives the folder, before any run, the name its first chart makes (an unchanged entry).
    void NameAfterItsChart(const std::string& folder) {
        const fs::path chart = tree_.path() / folder / "c0.bms";
        const fs::path moved = NewPathOf(chart);
        std::error_code error;
        if (moved == chart || fs::exists(moved.parent_path(), error) || error)
            return;
        fs::rename(chart.parent_path(), moved.parent_path(), error);
        if (error)
            return;
        for (fs::path& path : list_) {
            if (path.parent_path() == chart.parent_path())
                path = moved.parent_path() / path.filename();
        }
    }

    const TempTree& tree_;
    std::mt19937 random_;
    std::string template_;
    std::vector<fs::path> list_;
};

struct TreeRow {
    const char* name;
    unsigned seed;
    std::string nameTemplate;
};

class GeneratedTreeTest : public testing::TestWithParam<TreeRow> {
  protected:
    TempTree tree;
    TempTree logs;
};

TEST_P(GeneratedTreeTest, DryRunAgreesWithApplyAndUndoRestores) {
    const TreeRow& row = GetParam();
    const GeneratedTree generated(tree, row.seed, row.nameTemplate);
    const std::string before = Listing(tree.path());
    const std::vector<std::string> arguments = {"-t", row.nameTemplate, "-"};

    const Result dry = RunInProcess(arguments, generated.Input());
    EXPECT_EQ(Listing(tree.path()), before) << "the dry run changed the tree";

    std::vector<std::string> applyArguments = arguments;
    applyArguments.insert(applyArguments.begin(), "--apply");
    const Result applied = RunInProcess(applyArguments, generated.Input());
    EXPECT_EQ(Lines(applied.out), Lines(dry.out));
    EXPECT_EQ(applied.status, dry.status);
    EXPECT_EQ(applied.err, dry.err);
    EXPECT_EQ(Lines(applied.out).size(), Lines(generated.Input()).size());
    EXPECT_NE(applied.out.find("renamed\t"), std::string::npos) << "the tree renamed nothing";
    EXPECT_NE(Listing(tree.path()), before);

    tree.Write("../" + logs.path().filename().string() + "/log", applied.out);
    const Result undone = RunInProcess({"--undo", (logs.path() / "log").string()});
    EXPECT_EQ(undone.status, 0) << undone.out << undone.err;
    EXPECT_EQ(Listing(tree.path()), before) << "--undo did not restore the tree";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, GeneratedTreeTest,
    testing::Values(TreeRow{"TitleOnly1", 1, "3"}, TreeRow{"TitleOnly2", 2, "3"},
                    TreeRow{"TitleOnly3", 3, "3"}, TreeRow{"DefaultTemplate4", 4, "1 [2] 3 - 5"},
                    TreeRow{"DefaultTemplate5", 5, "1 [2] 3 - 5"},
                    TreeRow{"ArtistAndTitle6", 6, "1 - 3"}),
    [](const testing::TestParamInfo<TreeRow>& info) { return info.param.name; });

// The real program, run the way a script runs it: dry run, apply, undo.
TEST(ProgramTest, DryRunApplyAndUndoFromTheShell) {
    TempTree tree;
    TempTree scratch;
    const GeneratedTree generated(tree, 7, "1 [2] 3 - 5");
    const std::string before = Listing(tree.path());

    const Result dry = RunProgram({"-"}, generated.Input(), tree.path(), scratch.path() / "dry");
    EXPECT_EQ(Listing(tree.path()), before);
    const Result applied =
        RunProgram({"--apply", "-"}, generated.Input(), tree.path(), scratch.path() / "apply");
    EXPECT_EQ(Lines(applied.out), Lines(dry.out));
    EXPECT_EQ(applied.status, dry.status);
    EXPECT_NE(Listing(tree.path()), before);

    const Result undone = RunProgram({"--undo", (scratch.path() / "apply/out").string()}, "",
                                     tree.path(), scratch.path() / "undo");
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(Listing(tree.path()), before);
}

struct ProgramRow {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string out;  // beginning of standard output
    std::string err;  // beginning of standard error
};

class ProgramArgumentTest : public testing::TestWithParam<ProgramRow> {};

TEST_P(ProgramArgumentTest, ExitsWithStatus) {
    TempTree scratch;
    const ProgramRow& row = GetParam();
    const Result result = RunProgram(row.arguments, "", scratch.path(), scratch.path() / "io");
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out.substr(0, row.out.size()), row.out);
    EXPECT_EQ(result.err.substr(0, row.err.size()), row.err);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ProgramArgumentTest,
    testing::Values(
        ProgramRow{
            "Version", {"--version"}, 0, "bms-folder-renamer-cli " BFR_VERSION_TEXT "\n", ""},
        ProgramRow{"Help", {"--help"}, 0, "Usage: bms-folder-renamer-cli", ""},
        ProgramRow{"NoChart", {}, 2, "", "bms-folder-renamer-cli: no chart was given"},
        ProgramRow{"MissingLog",
                   {"--undo", "no-such-log"},
                   2,
                   "",
                   "bms-folder-renamer-cli: cannot read the log no-such-log"},
        ProgramRow{
            "MissingChart", {"no-such.bms"}, 0, "skipped\tno-such.bms\t\t\tno such file\n", ""}),
    [](const testing::TestParamInfo<ProgramRow>& info) { return info.param.name; });

// ---- Undo ------------------------------------------------------------------------------------

TEST(UndoTest, NameTakenMeanwhileFailsAndTheRestIsRestored) {
    TempTree tree;
    TempTree logs;
    tree.Write("lib/a/x.bms", Chart("Song"));
    tree.Write("lib/b/y.bms", Chart("Tune"));
    const std::string root = tree.path().string();
    const Result applied =
        RunInProcess({"--apply", "-t", "3", root + "/lib/a/x.bms", root + "/lib/b/y.bms"});
    ASSERT_EQ(applied.status, 0);
    tree.MakeFolder("lib/a");
    const fs::path log = logs.path() / "log";
    std::ofstream(log, std::ios::binary) << applied.out;

    const Result undone = RunInProcess({"--undo", log.string()});
    EXPECT_EQ(undone.status, 1);
    EXPECT_EQ(undone.out, At("restored\t@/lib/b/y.bms\t@/lib/b\t@/lib/Tune\t\n"
                             "failed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\ttarget exists\n",
                             tree.path()));
    EXPECT_EQ(Listing(tree.path()), "lib/\nlib/Song/\nlib/Song/x.bms = " + Chart("Song") +
                                        "\nlib/a/\nlib/b/\nlib/b/y.bms = " + Chart("Tune") + "\n");
}

struct BadLogRow {
    const char* name;
    std::string log;  // "@" stands for the tree's root; empty: no log file at all
    std::string err;
};

class BadLogTest : public testing::TestWithParam<BadLogRow> {};

// A log this program did not write is refused whole: not even its good lines are undone.
TEST_P(BadLogTest, IsRefusedBeforeAnyRename) {
    TempTree tree;
    TempTree logs;
    tree.MakeFolder("lib/Song");
    const std::string before = Listing(tree.path());
    const fs::path log = logs.path() / "log";
    if (!GetParam().log.empty())
        std::ofstream(log, std::ios::binary) << At(GetParam().log, tree.path());

    const Result undone = RunInProcess({"--undo", log.string()});
    EXPECT_EQ(undone.status, 2);
    EXPECT_EQ(undone.out, "");
    EXPECT_NE(undone.err.find(GetParam().err), std::string::npos) << undone.err;
    EXPECT_NE(undone.err.find("(see --help)\n"), std::string::npos) << undone.err;
    EXPECT_EQ(Listing(tree.path()), before);
}

const std::string kGoodLine = "renamed\t@/lib/a/x.bms\t@/lib/a\t@/lib/Song\t\n";

INSTANTIATE_TEST_SUITE_P(
    Cli, BadLogTest,
    testing::Values(BadLogRow{"Missing", "", "cannot read the log"},
                    BadLogRow{"FourFields", kGoodLine + "renamed\ta\tb\tc\n", "line 2 of the log"},
                    BadLogRow{"BadEscape", kGoodLine + "skipped\ta\\q\t\t\tno such file\n",
                              "line 2 of the log"},
                    BadLogRow{"UnknownOutcome", kGoodLine + "restored\ta\t@/a\t@/b\t\n",
                              "holds no outcome of a rename"},
                    BadLogRow{"RenamedWithoutTarget", kGoodLine + "renamed\ta\t@/lib/a\t\t\n",
                              "is no rename within one folder"},
                    BadLogRow{"RenameAcrossFolders",
                              kGoodLine + "renamed\ta\t@/lib/a\t@/elsewhere/a\t\n",
                              "is no rename within one folder"}),
    [](const testing::TestParamInfo<BadLogRow>& info) { return info.param.name; });

TEST(UndoTest, EmptyLogRestoresNothing) {
    TempTree logs;
    std::ofstream(logs.path() / "log") << "skipped\tx.bms\t\t\tno such file\n";
    const Result undone = RunInProcess({"--undo", (logs.path() / "log").string()});
    EXPECT_EQ(undone.status, 0);
    EXPECT_EQ(undone.out, "");
}

// ---- Unexpected failures ---------------------------------------------------------------------

// A file system that breaks down at one chart, as a failing disk or a lost network share would.
class BrokenFileSystem final : public host::FileSystem {
  public:
    explicit BrokenFileSystem(fs::path breaksAt) : breaksAt_(std::move(breaksAt)) {}
    bool IsChartFile(const fs::path& path) override {
        if (path == breaksAt_)
            throw std::runtime_error("the disk is gone");
        return host::SystemFileSystem().IsChartFile(path);
    }
    bool Exists(const fs::path& path) override { return host::SystemFileSystem().Exists(path); }
    host::RenameResult RenameFolder(const fs::path& from, const fs::path& to) override {
        return host::SystemFileSystem().RenameFolder(from, to);
    }

  private:
    fs::path breaksAt_;
};

TEST(StopTest, WalkStoppedByAnUnexpectedErrorSaysSoAndFails) {
    TempTree tree;
    tree.Write("lib/a/x.bms", Chart("Song"));
    tree.Write("lib/b/y.bms", Chart("Tune"));
    BrokenFileSystem broken(tree.path() / "lib/b/y.bms");
    const std::string root = tree.path().string();
    for (const char* mode : {"-t3", "--apply"}) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::Run({mode, "-t", "3", root + "/lib/a/x.bms", root + "/lib/b/y.bms"},
                                    cli::Streams{in, out, err, false}, broken);
        EXPECT_EQ(status, 1) << mode;
        EXPECT_EQ(out.str(), At(kSongA, tree.path())) << mode;
        EXPECT_EQ(err.str(), "bms-folder-renamer-cli: stopped: the disk is gone\n") << mode;
    }
}

// Output that takes a given number of bytes and then fails, as a full disk does.
class FullDisk final : public std::streambuf {
  public:
    explicit FullDisk(std::size_t room) : room_(room) {}

  protected:
    int_type overflow(int_type c) override {
        if (room_ == 0 || traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::eof();
        --room_;
        written += traits_type::to_char_type(c);
        return c;
    }

  public:
    std::string written;

  private:
    std::size_t room_;
};

TEST(StopTest, LogThatCannotBeWrittenStopsTheRenames) {
    TempTree tree;
    tree.Write("lib/a/x.bms", Chart("Song"));
    tree.Write("lib/b/y.bms", Chart("Tune"));
    const std::string root = tree.path().string();
    const std::string firstLine = At(kSongA, tree.path());
    FullDisk disk(firstLine.size() - 1);
    std::ostream out(&disk);
    std::istringstream in;
    std::ostringstream err;
    const int status =
        cli::Run({"--apply", "-t", "3", root + "/lib/a/x.bms", root + "/lib/b/y.bms"},
                 cli::Streams{in, out, err, false});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str(), "bms-folder-renamer-cli: stopped: cannot write the output\n");
    EXPECT_TRUE(fs::exists(tree.path() / "lib/Song"));
    EXPECT_TRUE(fs::exists(tree.path() / "lib/b")) << "renamed on after the log broke";
}

// ---- Progress line ---------------------------------------------------------------------------

TEST(ProgressTest, LongBatchShowsAThrottledLineAndErasesIt) {
    std::ostringstream terminal;
    cli::ProgressLine::Clock::time_point now{};
    cli::ProgressLine progress(terminal, [&now] { return now; });
    for (std::size_t done = 0; done < 1000; ++done) {
        progress.Update(done, 1000);
        now += std::chrono::milliseconds(1);
    }
    progress.Erase();
    EXPECT_EQ(terminal.str(),
              "\r1/1000 charts\r251/1000 charts\r501/1000 charts\r751/1000 charts"
              "\r               \r");
}

TEST(ProgressTest, ShortBatchShowsNothing) {
    std::ostringstream terminal;
    cli::ProgressLine progress(terminal);
    for (std::size_t done = 0; done < cli::ProgressLine::kMinimumCount; ++done)
        progress.Update(done, cli::ProgressLine::kMinimumCount);
    progress.Erase();
    EXPECT_EQ(terminal.str(), "");
}

}  // namespace
