// The POSIX file system: the chart test, the existence test and the rename that never replaces.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "host/posix_file_system.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using host::PosixFileSystem;
using host::RenameError;

// Sets a file's modification time to the given seconds since 1970, leaving its target alone
// when it is a symbolic link.
void SetModificationTime(const fs::path& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// True when any entry, a dangling link included, is at path.
bool Present(const fs::path& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

void MakeSocket(const fs::path& path) {
    const int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socketFd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.native().size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    EXPECT_EQ(bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(socketFd);
}

struct EntryRow {
    const char* label;
    // Makes the entry in the folder and returns its path.
    std::function<fs::path(const TempFolder&)> make;
    bool isChartFile;
    bool exists;
};

class FileTest : public testing::TestWithParam<EntryRow> {
  protected:
    TempFolder folder_;
};

TEST_P(FileTest, TellsChartsFromEverythingElse) {
    const EntryRow& row = GetParam();
    const fs::path path = row.make(folder_);
    PosixFileSystem fileSystem;
    EXPECT_EQ(fileSystem.IsChartFile(path), row.isChartFile);
    EXPECT_EQ(fileSystem.Exists(path), row.exists);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FileTest,
    testing::Values(
        EntryRow{"RegularFile", [](const TempFolder& t) { return t.Write("a.bms", "#TITLE x"); },
                 true, true},
        EntryRow{"EmptyFile", [](const TempFolder& t) { return t.Write("a.bms", ""); }, true, true},
        // Archives often leave 1970 time stamps; such charts are still charts.
        EntryRow{"TimeStamp1970",
                 [](const TempFolder& t) {
                     const fs::path file = t.Write("a.bms", "#TITLE x");
                     SetModificationTime(file, 0);
                     return file;
                 },
                 true, true},
        EntryRow{"TimeStampBefore1970",
                 [](const TempFolder& t) {
                     const fs::path file = t.Write("a.bms", "#TITLE x");
                     SetModificationTime(file, -86400 * 365);
                     return file;
                 },
                 true, true},
        EntryRow{"ReadOnlyFile",
                 [](const TempFolder& t) {
                     const fs::path file = t.Write("a.bms", "#TITLE x");
                     fs::permissions(file, fs::perms::owner_read);
                     return file;
                 },
                 true, true},
        EntryRow{"Folder", [](const TempFolder& t) { return t.MakeFolder("song"); }, false, true},
        EntryRow{"Missing", [](const TempFolder& t) { return t / "a.bms"; }, false, false},
        EntryRow{"InsideMissingFolder", [](const TempFolder& t) { return t / "gone/a.bms"; }, false,
                 false},
        EntryRow{"LinkToFile",
                 [](const TempFolder& t) {
                     fs::create_symlink(t.Write("real/a.bms", "#TITLE x"), t / "a.bms");
                     return t / "a.bms";
                 },
                 true, true},
        EntryRow{"LinkToFolder",
                 [](const TempFolder& t) {
                     fs::create_directory_symlink(t.MakeFolder("real"), t / "a.bms");
                     return t / "a.bms";
                 },
                 false, true},
        EntryRow{"DanglingLink",
                 [](const TempFolder& t) {
                     fs::create_symlink(t / "nowhere.bms", t / "a.bms");
                     return t / "a.bms";
                 },
                 false, true},
        // Opening a FIFO would block until a writer comes: the test must not open it.
        EntryRow{"Fifo",
                 [](const TempFolder& t) {
                     EXPECT_EQ(mkfifo((t / "a.bms").c_str(), 0600), 0);
                     return t / "a.bms";
                 },
                 false, true},
        EntryRow{"Socket",
                 [](const TempFolder& t) {
                     MakeSocket(t / "s");
                     return t / "s";
                 },
                 false, true},
        EntryRow{"Device", [](const TempFolder&) { return fs::path("/dev/null"); }, false, true}),
    [](const testing::TestParamInfo<EntryRow>& info) { return info.param.label; });

struct RenameRow {
    const char* label;
    // Prepares the folder "from" (or not) and whatever is under "to".
    std::function<void(const TempFolder&)> prepare;
    const char* to;  // relative to the temporary folder
    RenameError error;
};

using RenameCase = std::tuple<PosixFileSystem::RenameMode, RenameRow>;

class RenameFolder : public testing::TestWithParam<RenameCase> {
  protected:
    TempFolder folder_;
};

TEST_P(RenameFolder, NeverReplacesAnything) {
    const auto& [mode, row] = GetParam();
    row.prepare(folder_);
    const bool fromExisted = Present(folder_ / "from");
    const bool toExisted = Present(folder_ / row.to);
    PosixFileSystem fileSystem(mode);

    const host::RenameResult result = fileSystem.RenameFolder(folder_ / "from", folder_ / row.to);

    EXPECT_EQ(result.error, row.error) << result.systemMessage;
    EXPECT_EQ(result.systemMessage.empty(), row.error != RenameError::System);
    if (result.ok()) {
        EXPECT_FALSE(Present(folder_ / "from"));
        EXPECT_TRUE(Present(folder_ / row.to / "chart.bms"));
    } else {
        EXPECT_EQ(Present(folder_ / "from"), fromExisted);
        EXPECT_EQ(Present(folder_ / row.to), toExisted);
        if (fromExisted) {
            EXPECT_TRUE(Present(folder_ / "from/chart.bms"));
        }
    }
}

void MakeSource(const TempFolder& t) {
    t.Write("from/chart.bms", "#TITLE x");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RenameFolder,
    testing::Combine(
        testing::Values(PosixFileSystem::RenameMode::NoReplaceCall,
                        PosixFileSystem::RenameMode::CheckThenRename),
        testing::Values(
            RenameRow{"FreeName", MakeSource, "to", RenameError::None},
            RenameRow{"DoubleByteName", MakeSource, "曲ソ", RenameError::None},
            RenameRow{"EmptyFolder",
                      [](const TempFolder& t) {
                          MakeSource(t);
                          t.MakeFolder("to");
                      },
                      "to", RenameError::TargetExists},
            RenameRow{"FullFolder",
                      [](const TempFolder& t) {
                          MakeSource(t);
                          t.Write("to/other.bms", "#TITLE y");
                      },
                      "to", RenameError::TargetExists},
            RenameRow{"File",
                      [](const TempFolder& t) {
                          MakeSource(t);
                          t.Write("to", "text");
                      },
                      "to", RenameError::TargetExists},
            RenameRow{"DanglingLink",
                      [](const TempFolder& t) {
                          MakeSource(t);
                          fs::create_symlink(t / "nowhere", t / "to");
                      },
                      "to", RenameError::TargetExists},
            RenameRow{"SourceGone", [](const TempFolder&) {}, "to", RenameError::SourceMissing},
            RenameRow{"TargetFolderMissing", MakeSource, "gone/to", RenameError::System},
            RenameRow{
                "NameTooLong", MakeSource,
                "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
                "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                RenameError::System})),
    [](const testing::TestParamInfo<RenameCase>& info) {
        const bool fallback =
            std::get<0>(info.param) == PosixFileSystem::RenameMode::CheckThenRename;
        return std::string(fallback ? "CheckThenRename_" : "NoReplaceCall_") +
               std::get<1>(info.param).label;
    });

TEST(SystemFileSystem, IsThePosixOne) {
    EXPECT_NE(dynamic_cast<PosixFileSystem*>(&host::SystemFileSystem()), nullptr);
}

}  // namespace
