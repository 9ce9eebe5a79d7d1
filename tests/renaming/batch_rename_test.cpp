// The batch folder rename on real folder trees, and on a scripted file system for what a real
// one cannot show (the file system root, failing renames, unexpected errors).
#include "renaming/batch_rename.h"

#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <functional>
#include <new>
#include <set>

#include <gtest/gtest.h>

#include "tests/support/hex.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using renaming::ChartEntry;
using renaming::Outcome;
using renaming::Reason;

constexpr std::string_view kDefaultTemplate = "1 [2] 3 - 5";
// What the default template makes of Foo, Bar, Baz and level 3, as a native name.
const std::string kFooName = "Foo [Bar] Baz - ★★★☆☆☆";

// A chart with CR LF line ends; values are code page 932 bytes.
std::string Chart(std::string_view artist, std::string_view genre, std::string_view title,
                  std::string_view level) {
    std::string text;
    text.append("#ARTIST ").append(artist).append("\r\n");
    text.append("#GENRE ").append(genre).append("\r\n");
    text.append("#TITLE ").append(title).append("\r\n");
    text.append("#PLAYLEVEL ").append(level).append("\r\n");
    text.append("#BPM 150\r\n#WAV01 kick.wav\r\n");
    return text;
}

const std::string kFooChart = Chart("Foo", "Bar", "Baz", "3");

// Every entry under root as a relative path ("/" after folders), sorted.
std::vector<std::string> Tree(const fs::path& root) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string relative = entry.path().lexically_relative(root).string();
        if (entry.is_directory() && !entry.is_symlink()) {
            relative += '/';
        }
        entries.push_back(relative);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

struct Result {
    Outcome outcome;
    Reason reason;
    bool operator==(const Result&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Result& result) {
    return out << "{outcome " << static_cast<int>(result.outcome) << ", reason "
               << static_cast<int>(result.reason) << "}";
}

std::vector<Result> Results(const renaming::BatchReport& report) {
    std::vector<Result> results;
    for (const auto& entry : report.entries) {
        results.push_back({entry.outcome, entry.reason});
    }
    return results;
}

// One walk over a real tree: what to make, what to list, what must come out.
struct WalkRow {
    const char* label;
    std::function<void(const TempFolder&)> make;
    std::vector<std::string> list;  // relative to the temporary folder
    std::string nameTemplate;       // code page 932
    std::vector<Result> results;
    std::vector<std::string> tree;  // after the walk
};

class Walk : public testing::TestWithParam<WalkRow> {
  protected:
    TempFolder root_;
};

TEST_P(Walk, RenamesEachChartFolderOnce) {
    const WalkRow& row = GetParam();
    row.make(root_);
    std::vector<ChartEntry> list;
    for (const std::string& chart : row.list) {
        list.push_back({root_ / chart});
    }

    const renaming::BatchReport report =
        renaming::RenameFolders(list, row.nameTemplate, host::SystemFileSystem());

    EXPECT_TRUE(report.completed) << report.stopMessage;
    EXPECT_EQ(Results(report), row.results);
    EXPECT_EQ(Tree(root_.path()), row.tree);
}

void OneSong(const TempFolder& t) {
    t.Write("song/a.bms", kFooChart);
}

// A chart whose header gives title alone, for the template "3".
std::function<void(const TempFolder&)> TitledSong(std::string title) {
    return [title](const TempFolder& t) {
        t.Write("song/a.bms", "#TITLE " + title + "\r\n#BPM 150\r\n");
    };
}

const std::string kLongTitle = std::string(999, 'a') + "\x82\xA0";  // cut after 0x82

INSTANTIATE_TEST_SUITE_P(
    Trees, Walk,
    testing::Values(
        WalkRow{
            "EmptyList", OneSong, {}, std::string(kDefaultTemplate), {}, {"song/", "song/a.bms"}},
        WalkRow{"OneChart",
                OneSong,
                {"song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Renamed, Reason::None}},
                {kFooName + "/", kFooName + "/a.bms"}},
        WalkRow{"TwoChartsOfOneFolder",
                [](const TempFolder& t) {
                    t.Write("song/a.bms", kFooChart);
                    t.Write("song/b.bms", Chart("Other", "X", "Y", "1"));
                },
                {"song/a.bms", "song/b.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Renamed, Reason::None}, {Outcome::Skipped, Reason::NoSuchFile}},
                {kFooName + "/", kFooName + "/a.bms", kFooName + "/b.bms"}},
        WalkRow{"FileThatIsNoChart",
                [](const TempFolder& t) { t.Write("song/readme.txt", "just some notes\r\n"); },
                {"song/readme.txt"},
                std::string(kDefaultTemplate),
                {{Outcome::Renamed, Reason::None}},
                {" []  - /", " []  - /readme.txt"}},
        WalkRow{"NameIsAlreadyTheFolderName",
                [](const TempFolder& t) { t.Write(kFooName + "/a.bms", kFooChart); },
                {kFooName + "/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Unchanged, Reason::None}},
                {kFooName + "/", kFooName + "/a.bms"}},
        WalkRow{"TargetIsAnEmptyFolder",
                [](const TempFolder& t) {
                    OneSong(t);
                    t.MakeFolder(kFooName);
                },
                {"song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Failed, Reason::TargetExists}},
                {kFooName + "/", "song/", "song/a.bms"}},
        WalkRow{"TargetIsAFile",
                [](const TempFolder& t) {
                    OneSong(t);
                    t.Write(kFooName, "notes");
                },
                {"song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Failed, Reason::TargetExists}},
                {kFooName, "song/", "song/a.bms"}},
        WalkRow{"TwoFoldersGetTheSameName",
                [](const TempFolder& t) {
                    t.Write("one/a.bms", kFooChart);
                    t.Write("two/a.bms", kFooChart);
                },
                {"one/a.bms", "two/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Renamed, Reason::None}, {Outcome::Failed, Reason::TargetExists}},
                {kFooName + "/", kFooName + "/a.bms", "two/", "two/a.bms"}},
        WalkRow{"MissingAndFolderEntries",
                OneSong,
                {"gone/a.bms", "song", "song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Skipped, Reason::NoSuchFile},
                 {Outcome::Skipped, Reason::IsFolder},
                 {Outcome::Renamed, Reason::None}},
                {kFooName + "/", kFooName + "/a.bms"}},
        // Listing a FIFO must neither block the walk nor rename its folder.
        WalkRow{"Fifo",
                [](const TempFolder& t) {
                    OneSong(t);
                    t.MakeFolder("pipe");
                    EXPECT_EQ(mkfifo((t / "pipe/a.bms").c_str(), 0600), 0);
                },
                {"pipe/a.bms", "song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Skipped, Reason::IsFolder}, {Outcome::Renamed, Reason::None}},
                {kFooName + "/", kFooName + "/a.bms", "pipe/", "pipe/a.bms"}},
        WalkRow{"DanglingLink",
                [](const TempFolder& t) {
                    t.MakeFolder("song");
                    fs::create_symlink(t / "nowhere.bms", t / "song/a.bms");
                },
                {"song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Skipped, Reason::IsFolder}},
                {"song/", "song/a.bms"}},
        // The folder renamed is the one holding the link, not the one holding the chart.
        WalkRow{"ChartReachedThroughLink",
                [](const TempFolder& t) {
                    t.Write("store/real.bms", kFooChart);
                    t.MakeFolder("song");
                    fs::create_symlink(t / "store/real.bms", t / "song/a.bms");
                },
                {"song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Renamed, Reason::None}},
                {kFooName + "/", kFooName + "/a.bms", "store/", "store/real.bms"}},
        WalkRow{"ChartStamped1970",
                [](const TempFolder& t) {
                    const fs::path chart = t.Write("song/a.bms", kFooChart);
                    const timeval times[2] = {{0, 0}, {0, 0}};
                    EXPECT_EQ(utimes(chart.c_str(), times), 0);
                },
                {"song/a.bms"},
                std::string(kDefaultTemplate),
                {{Outcome::Renamed, Reason::None}},
                {kFooName + "/", kFooName + "/a.bms"}},
        WalkRow{"SlashInTitleIsSubstituted",
                TitledSong("AC/DC"),
                {"song/a.bms"},
                "3",
                {{Outcome::Renamed, Reason::None}},
                {"AC／DC/", "AC／DC/a.bms"}},
        WalkRow{"EmptyName",
                OneSong,
                {"song/a.bms"},
                "0",
                {{Outcome::Refused, Reason::NameEmpty}},
                {"song/", "song/a.bms"}},
        WalkRow{"DotDotTitle",
                TitledSong(".."),
                {"song/a.bms"},
                "3",
                {{Outcome::Refused, Reason::NameDot}},
                {"song/", "song/a.bms"}},
        WalkRow{"NulInTitle",
                TitledSong(std::string("a\0b", 3)),
                {"song/a.bms"},
                "3",
                {{Outcome::Refused, Reason::NameControlCharacter}},
                {"song/", "song/a.bms"}},
        WalkRow{"ControlByteInTitle",
                TitledSong("a\x1B[2Jb"),
                {"song/a.bms"},
                "3",
                {{Outcome::Refused, Reason::NameControlCharacter}},
                {"song/", "song/a.bms"}},
        // An LF-only chart is one line: the title runs across the LF and NUL bytes that follow.
        WalkRow{"LineFeedOnlyChart",
                [](const TempFolder& t) { t.Write("song/a.bms", "#TITLE x\n#ARTIST y\n\0\n"s); },
                {"song/a.bms"},
                "3",
                {{Outcome::Refused, Reason::NameControlCharacter}},
                {"song/", "song/a.bms"}},
        WalkRow{"LoneLeadByteLeftByTheCut",
                TitledSong(kLongTitle),
                {"song/a.bms"},
                "3",
                {{Outcome::Refused, Reason::NameInvalidEncoding}},
                {"song/", "song/a.bms"}},
        // The substitution steps over "\x81/" as one character, so the "/" survives it.
        WalkRow{"LeadByteBeforeSlash",
                TitledSong("\x81/.."),
                {"song/a.bms"},
                "3",
                {{Outcome::Refused, Reason::NameInvalidEncoding}},
                {"song/", "song/a.bms"}}),
    [](const testing::TestParamInfo<WalkRow>& info) { return info.param.label; });

class BatchRename : public testing::Test {
  protected:
    TempFolder root_;
};

TEST_F(BatchRename, SecondRunSkipsEveryRenamedEntry) {
    root_.Write("one/a.bms", kFooChart);
    root_.Write("two/a.bms", Chart("Qux", "Bar", "Baz", "5"));
    const std::vector<ChartEntry> list = {{root_ / "one/a.bms"}, {root_ / "two/a.bms"}};

    const auto first = renaming::RenameFolders(list, kDefaultTemplate, host::SystemFileSystem());
    const std::vector<std::string> tree = Tree(root_.path());
    const auto second = renaming::RenameFolders(list, kDefaultTemplate, host::SystemFileSystem());

    EXPECT_EQ(Results(first), (std::vector<Result>{{Outcome::Renamed, Reason::None},
                                                   {Outcome::Renamed, Reason::None}}));
    EXPECT_EQ(Results(second), (std::vector<Result>{{Outcome::Skipped, Reason::NoSuchFile},
                                                    {Outcome::Skipped, Reason::NoSuchFile}}));
    EXPECT_EQ(Tree(root_.path()), tree);
    EXPECT_FALSE(second.HasFailures());
}

TEST_F(BatchRename, ReportsFolderAndTargetAsNativePaths) {
    root_.Write("曲ソ/a.bms", kFooChart);
    const auto report = renaming::RenameFolders({{root_ / "曲ソ/a.bms"}}, kDefaultTemplate,
                                                host::SystemFileSystem());
    ASSERT_EQ(report.entries.size(), 1u);
    const renaming::EntryReport& entry = report.entries[0];
    EXPECT_EQ(entry.chart, root_ / "曲ソ/a.bms");
    EXPECT_EQ(Hex(entry.folder.native()), Hex((root_ / "曲ソ").native()));
    EXPECT_EQ(Hex(entry.target.native()), Hex((root_ / kFooName).native()));
}

TEST_F(BatchRename, NeverTouchesACutPath) {
    root_.Write("song/a.bms", kFooChart);
    const auto report = renaming::RenameFolders({{root_ / "song/a.bms", true}}, kDefaultTemplate,
                                                host::SystemFileSystem());
    EXPECT_EQ(Results(report), (std::vector<Result>{{Outcome::Refused, Reason::PathCut}}));
    EXPECT_EQ(Tree(root_.path()), (std::vector<std::string>{"song/", "song/a.bms"}));
    EXPECT_TRUE(report.HasFailures());
}

TEST_F(BatchRename, TellsTheReporterAboutEveryEntryInOrder) {
    root_.Write("one/a.bms", kFooChart);
    struct Recorder : renaming::Reporter {
        std::vector<std::string> calls;
        void EntryDone(std::size_t index, std::size_t count,
                       const renaming::EntryReport& entry) override {
            calls.push_back(std::to_string(index) + "/" + std::to_string(count) + " " +
                            entry.chart.filename().string());
        }
    } recorder;
    renaming::RenameFolders({{root_ / "one/a.bms"}, {root_ / "one/b.bms"}}, kDefaultTemplate,
                            host::SystemFileSystem(), &recorder);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"0/2 a.bms", "1/2 b.bms"}));
}

// A file system that answers from a script and records the renames asked of it; what the
// script leaves open goes to the real file system.
class ScriptedFileSystem : public host::FileSystem {
  public:
    std::set<fs::path> charts;  // taken as charts whether they exist or not
    fs::path readable;          // when set, every chart is read from here
    std::function<host::RenameResult(std::size_t call)> renameAnswer;
    std::size_t throwAtChartTest = static_cast<std::size_t>(-1);
    std::vector<std::pair<fs::path, fs::path>> renames;

    bool IsChartFile(const fs::path& path) override {
        if (chartTests_++ == throwAtChartTest) {
            throw std::bad_alloc();
        }
        return charts.count(path) != 0 || host::SystemFileSystem().IsChartFile(path);
    }
    bool Exists(const fs::path& path) override { return host::SystemFileSystem().Exists(path); }
    host::RenameResult RenameFolder(const fs::path& from, const fs::path& to) override {
        renames.emplace_back(from, to);
        if (renameAnswer) {
            return renameAnswer(renames.size() - 1);
        }
        return host::SystemFileSystem().RenameFolder(from, to);
    }
    fs::path ReadablePath(const fs::path& path) override {
        return readable.empty() ? path : readable;
    }

  private:
    std::size_t chartTests_ = 0;
};

// Where a listed path puts its folder and target, without any real file behind it.
struct PathRow {
    const char* label;
    std::string chart;
    Reason reason;  // None: renamed
    std::string folder;
    std::string target;
};

class ChartPaths : public testing::TestWithParam<PathRow> {
  protected:
    TempFolder root_;
};

TEST_P(ChartPaths, SplitOnTheLastSlash) {
    const PathRow& row = GetParam();
    ScriptedFileSystem fileSystem;
    fileSystem.charts.insert(row.chart);
    fileSystem.readable = root_.Write("chart.bms", kFooChart);
    fileSystem.renameAnswer = [](std::size_t) { return host::RenameResult{}; };

    const auto report = renaming::RenameFolders({{row.chart}}, "3", fileSystem);

    ASSERT_EQ(report.entries.size(), 1u);
    const renaming::EntryReport& entry = report.entries[0];
    EXPECT_EQ(entry.reason, row.reason);
    EXPECT_EQ(entry.folder.native(), row.folder);
    EXPECT_EQ(entry.target.native(), row.target);
    if (row.reason == Reason::None) {
        ASSERT_EQ(fileSystem.renames.size(), 1u);
        EXPECT_EQ(fileSystem.renames[0].first.native(), row.folder);
        EXPECT_EQ(fileSystem.renames[0].second.native(), row.target);
    } else {
        EXPECT_TRUE(fileSystem.renames.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Delimiters, ChartPaths,
    testing::Values(
        PathRow{"Absolute", "/bms/song/a.bms", Reason::None, "/bms/song", "/bms/Baz"},
        PathRow{"Relative", "song/a.bms", Reason::None, "song", "Baz"},
        PathRow{"RelativeDeeper", "bms/song/a.bms", Reason::None, "bms/song", "bms/Baz"},
        // Only "/" separates on POSIX: a backslash or a colon is part of a name.
        PathRow{"BackslashInFolderName", "/bms/a\\b/a.bms", Reason::None, "/bms/a\\b", "/bms/Baz"},
        PathRow{"ColonInFolderName", "/bms/D:song/a.bms", Reason::None, "/bms/D:song", "/bms/Baz"},
        PathRow{"FileSystemRoot", "/a.bms", Reason::NoParentFolder, "/", ""},
        PathRow{"DoubleSlashRoot", "//a.bms", Reason::NoParentFolder, "//", ""},
        PathRow{"DoubledSlash", "/bms//a.bms", Reason::NoParentFolder, "/bms//", ""},
        PathRow{"NoFolder", "a.bms", Reason::NoParentFolder, "", ""},
        PathRow{"DotFolder", "/bms/./a.bms", Reason::NoParentFolder, "/bms/.", ""},
        PathRow{"DotDotFolder", "/bms/song/../a.bms", Reason::NoParentFolder, "/bms/song/..", ""},
        // The system reads a path only up to a NUL, which would make the chart its own folder.
        PathRow{"NulInPath", std::string("/bms/song/a.bms\0q/y.bms", 23), Reason::NoSuchFile, "",
                ""}),
    [](const testing::TestParamInfo<PathRow>& info) { return info.param.label; });

TEST_F(BatchRename, ReportsAnUnreadableChartAndRenamesNothing) {
    const fs::path chart = root_.Write("song/a.bms", kFooChart);
    ScriptedFileSystem fileSystem;
    fileSystem.readable = root_ / "gone/a.bms";

    const auto report = renaming::RenameFolders({{chart}}, kDefaultTemplate, fileSystem);

    EXPECT_EQ(Results(report),
              (std::vector<Result>{{Outcome::ReadFailure, Reason::ChartUnreadable}}));
    EXPECT_TRUE(fileSystem.renames.empty());
    EXPECT_TRUE(report.HasFailures());
}

TEST_F(BatchRename, GoesOnAfterAFailedRename) {
    for (const char* song : {"one", "two", "three"}) {
        root_.Write(std::string(song) + "/a.bms", Chart("A", "G", "new-" + std::string(song), "1"));
    }
    ScriptedFileSystem fileSystem;
    fileSystem.renameAnswer = [&fileSystem](std::size_t call) {
        if (call == 1) {
            return host::RenameResult{host::RenameError::System, "disk on fire"};
        }
        const auto& [from, to] = fileSystem.renames[call];
        return host::SystemFileSystem().RenameFolder(from, to);
    };

    const auto report = renaming::RenameFolders(
        {{root_ / "one/a.bms"}, {root_ / "two/a.bms"}, {root_ / "three/a.bms"}}, "3", fileSystem);

    EXPECT_EQ(Results(report), (std::vector<Result>{{Outcome::Renamed, Reason::None},
                                                    {Outcome::Failed, Reason::SystemError},
                                                    {Outcome::Renamed, Reason::None}}));
    EXPECT_EQ(report.entries[1].systemMessage, "disk on fire");
    EXPECT_EQ(Tree(root_.path()),
              (std::vector<std::string>{"new-one/", "new-one/a.bms", "new-three/",
                                        "new-three/a.bms", "two/", "two/a.bms"}));
    EXPECT_TRUE(report.completed);
    EXPECT_TRUE(report.HasFailures());
}

struct FailureRow {
    const char* label;
    host::RenameError error;
    Reason reason;
};

class RenameFailure : public testing::TestWithParam<FailureRow> {
  protected:
    TempFolder root_;
};

TEST_P(RenameFailure, BecomesAFailedEntry) {
    const FailureRow& row = GetParam();
    const fs::path chart = root_.Write("song/a.bms", kFooChart);
    ScriptedFileSystem fileSystem;
    fileSystem.renameAnswer = [&row](std::size_t) { return host::RenameResult{row.error, {}}; };

    const auto report = renaming::RenameFolders({{chart}}, kDefaultTemplate, fileSystem);

    EXPECT_EQ(Results(report), (std::vector<Result>{{Outcome::Failed, row.reason}}));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RenameFailure,
    testing::Values(
        FailureRow{"TargetExists", host::RenameError::TargetExists, Reason::TargetExists},
        FailureRow{"SourceMissing", host::RenameError::SourceMissing, Reason::SourceMissing},
        FailureRow{"Unsupported", host::RenameError::Unsupported, Reason::Unsupported},
        FailureRow{"System", host::RenameError::System, Reason::SystemError}),
    [](const testing::TestParamInfo<FailureRow>& info) { return info.param.label; });

TEST_F(BatchRename, StopsAtAnUnexpectedErrorAndLeavesTheRestAlone) {
    for (const char* song : {"one", "two", "three"}) {
        root_.Write(std::string(song) + "/a.bms", Chart("A", "G", "new-" + std::string(song), "1"));
    }
    ScriptedFileSystem fileSystem;
    fileSystem.throwAtChartTest = 1;

    const auto report = renaming::RenameFolders(
        {{root_ / "one/a.bms"}, {root_ / "two/a.bms"}, {root_ / "three/a.bms"}}, "3", fileSystem);

    EXPECT_FALSE(report.completed);
    EXPECT_FALSE(report.stopMessage.empty());
    EXPECT_EQ(Results(report), (std::vector<Result>{{Outcome::Renamed, Reason::None}}));
    EXPECT_EQ(Tree(root_.path()), (std::vector<std::string>{"new-one/", "new-one/a.bms", "three/",
                                                            "three/a.bms", "two/", "two/a.bms"}));
    EXPECT_TRUE(report.HasFailures());
}

TEST(BatchReport, HasFailuresOnlyForEntriesThatWentWrong) {
    renaming::BatchReport report;
    for (const Outcome outcome : {Outcome::Renamed, Outcome::Unchanged, Outcome::Skipped}) {
        report.entries.emplace_back().outcome = outcome;
    }
    EXPECT_FALSE(report.HasFailures());
    for (const Outcome outcome : {Outcome::ReadFailure, Outcome::Refused, Outcome::Failed}) {
        renaming::BatchReport failing = report;
        failing.entries.emplace_back().outcome = outcome;
        EXPECT_TRUE(failing.HasFailures()) << static_cast<int>(outcome);
    }
}

}  // namespace
