// A file system for the dry run: it reads through to the real one and only pretends to rename.
#pragma once

#include <filesystem>
#include <map>
#include <optional>

#include "host/file_system.h"

namespace renaming {

// Reads go to the real file system; folder renames are only remembered, so that later questions
// see the folders as a real run would have left them: paths inside a renamed folder are gone, the
// new folder exists (and its files are read where they really are), and a second folder taking
// the same name finds the target taken. Paths are compared as text: a symbolic link that leads
// into a folder renamed earlier in the walk is still followed to where it led before, and what
// only the system can refuse (a parent folder without write permission) is not foreseen.
class DryRunFileSystem final : public host::FileSystem {
  public:
    explicit DryRunFileSystem(host::FileSystem& real) : real_(real) {}

    bool IsChartFile(const std::filesystem::path& path) override;
    bool Exists(const std::filesystem::path& path) override;
    host::RenameResult RenameFolder(const std::filesystem::path& from,
                                    const std::filesystem::path& to) override;
    std::filesystem::path ReadablePath(const std::filesystem::path& path) override;

  private:
    // Where path really is now; nullopt when a pretended rename took it away.
    std::optional<std::filesystem::path> RealPath(const std::filesystem::path& path) const;

    host::FileSystem& real_;
    // For each folder path a pretended rename touched (as text, so that everything inside a
    // folder sorts together after it): where that folder really is, or nullopt when the folder
    // was renamed away from it. The deepest recorded folder on a path decides.
    std::map<std::filesystem::path::string_type, std::optional<std::filesystem::path>> moved_;
};

}  // namespace renaming
