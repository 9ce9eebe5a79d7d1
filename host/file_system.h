// The one seam to the operating system's file system: the chart test and the folder rename.
#pragma once

#include <filesystem>
#include <string>

namespace host {

// Why a folder rename did not happen.
enum class RenameError {
    None,           // renamed
    TargetExists,   // an entry (file or folder, empty or not) already has the new name
    SourceMissing,  // the folder to rename is gone
    Unsupported,    // the file system cannot rename without replacing and the safe fallback failed
    System,         // any other failure; RenameResult::systemMessage says what the system said
};

struct RenameResult {
    RenameError error = RenameError::None;
    std::string systemMessage;  // UTF-8, only for RenameError::System

    bool ok() const { return error == RenameError::None; }
};

// Every file system call the batch rename makes goes through here, so tests can replace them.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True when path names an existing regular file, symbolic links followed (a dangling link,
    // a folder, a FIFO, a socket or a device is false).
    virtual bool IsChartFile(const std::filesystem::path& path) = 0;

    // True when any entry exists under path, without following a final symbolic link.
    virtual bool Exists(const std::filesystem::path& path) = 0;

    // Renames the folder from to to in one step; never replaces anything that exists under to.
    virtual RenameResult RenameFolder(const std::filesystem::path& from,
                                      const std::filesystem::path& to) = 0;

    // Where the chart at path can be read now. The real file system reads it where it is; a
    // simulated one (the dry run) maps paths inside folders it has only pretended to rename.
    virtual std::filesystem::path ReadablePath(const std::filesystem::path& path) { return path; }
};

// The real file system of this machine.
FileSystem& SystemFileSystem();

}  // namespace host
