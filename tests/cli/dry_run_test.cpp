// The dry run's file system: reads go to the real folders, renames are only pretended, and later
// questions see the folders as a real run would have left them.
#include "renaming/dry_run.h"

#include <gtest/gtest.h>

#include <string>

#include "cli_support.h"

namespace {

using cli_test::Chart;
using cli_test::Listing;
using cli_test::TempTree;
using host::RenameError;
namespace fs = std::filesystem;

class DryRunTest : public testing::Test {
  protected:
    void SetUp() override {
        tree.Write("lib/a/x.bms", Chart("A"));
        tree.Write("lib/a/sub/s.bms", Chart("S"));
        tree.Write("lib/b/y.bms", Chart("B"));
        tree.Write("lib/d/z.bms", Chart("D"));
        before = Listing(tree.path());
    }
    void TearDown() override { EXPECT_EQ(Listing(tree.path()), before) << "the dry run changed"; }

    fs::path Lib(const std::string& relative) const { return tree.path() / "lib" / relative; }

    TempTree tree;
    std::string before;
    renaming::DryRunFileSystem dry{host::SystemFileSystem()};
};

TEST_F(DryRunTest, RenamedFolderMovesItsFiles) {
    ASSERT_EQ(dry.RenameFolder(Lib("a"), Lib("n")).error, RenameError::None);
    EXPECT_FALSE(dry.Exists(Lib("a")));
    EXPECT_FALSE(dry.IsChartFile(Lib("a/x.bms")));
    EXPECT_TRUE(dry.Exists(Lib("n")));
    EXPECT_TRUE(dry.IsChartFile(Lib("n/x.bms")));
    EXPECT_TRUE(dry.IsChartFile(Lib("n/sub/s.bms")));
    EXPECT_FALSE(dry.IsChartFile(Lib("n/missing.bms")));
    EXPECT_EQ(dry.ReadablePath(Lib("n/sub/s.bms")), Lib("a/sub/s.bms"));
    EXPECT_EQ(dry.ReadablePath(Lib("b/y.bms")), Lib("b/y.bms"));
}

TEST_F(DryRunTest, TakenNameAndVanishedFolderFail) {
    ASSERT_EQ(dry.RenameFolder(Lib("a"), Lib("n")).error, RenameError::None);
    EXPECT_EQ(dry.RenameFolder(Lib("b"), Lib("n")).error, RenameError::TargetExists);
    EXPECT_EQ(dry.RenameFolder(Lib("b"), Lib("d")).error, RenameError::TargetExists);
    EXPECT_EQ(dry.RenameFolder(Lib("a"), Lib("m")).error, RenameError::SourceMissing);
    EXPECT_EQ(dry.RenameFolder(Lib("gone"), Lib("m")).error, RenameError::SourceMissing);
    EXPECT_TRUE(dry.IsChartFile(Lib("b/y.bms")));
}

TEST_F(DryRunTest, ChainsAndReusedNamesFollowEachRename) {
    ASSERT_EQ(dry.RenameFolder(Lib("a"), Lib("n")).error, RenameError::None);
    ASSERT_EQ(dry.RenameFolder(Lib("n"), Lib("m")).error, RenameError::None);
    EXPECT_FALSE(dry.Exists(Lib("n")));
    EXPECT_EQ(dry.ReadablePath(Lib("m/x.bms")), Lib("a/x.bms"));
    // The old name is free again and can be taken by another folder.
    ASSERT_EQ(dry.RenameFolder(Lib("d"), Lib("a")).error, RenameError::None);
    EXPECT_TRUE(dry.IsChartFile(Lib("a/z.bms")));
    EXPECT_FALSE(dry.IsChartFile(Lib("a/x.bms")));
    EXPECT_EQ(dry.ReadablePath(Lib("a/z.bms")), Lib("d/z.bms"));
}

TEST_F(DryRunTest, RenameInsideMovesWithTheOuterFolder) {
    ASSERT_EQ(dry.RenameFolder(Lib("a/sub"), Lib("a/sub2")).error, RenameError::None);
    ASSERT_EQ(dry.RenameFolder(Lib("a"), Lib("n")).error, RenameError::None);
    EXPECT_FALSE(dry.Exists(Lib("n/sub")));
    EXPECT_EQ(dry.ReadablePath(Lib("n/sub2/s.bms")), Lib("a/sub/s.bms"));
    EXPECT_TRUE(dry.IsChartFile(Lib("n/sub2/s.bms")));
    EXPECT_FALSE(dry.Exists(Lib("a/sub2")));
}

TEST_F(DryRunTest, OverlongNameFailsAsTheSystemWould) {
    const fs::path target = Lib(std::string(256, 'n'));
    const host::RenameResult pretended = dry.RenameFolder(Lib("a"), target);
    EXPECT_EQ(pretended.error, RenameError::System);
    EXPECT_EQ(pretended.systemMessage,
              std::make_error_code(std::errc::filename_too_long).message());
    EXPECT_TRUE(dry.Exists(Lib("a")));
    EXPECT_EQ(dry.RenameFolder(Lib("a"), Lib(std::string(255, 'n'))).error, RenameError::None);
}

}  // namespace
