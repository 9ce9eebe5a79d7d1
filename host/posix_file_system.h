// The file system of a POSIX host, exposed inside the host layer and to its tests.
#pragma once

#include "host/file_system.h"

namespace host {

class PosixFileSystem : public FileSystem {
  public:
    // How a folder is renamed without replacing anything.
    enum class RenameMode {
        // The system's no-replace rename (renameat2 RENAME_NOREPLACE, renamex_np RENAME_EXCL),
        // falling back to CheckThenRename where the file system does not support it.
        NoReplaceCall,
        // The fallback alone: make sure nothing exists under the new name, then rename().
        CheckThenRename,
    };

    explicit PosixFileSystem(RenameMode mode = RenameMode::NoReplaceCall) : mode_(mode) {}

    bool IsChartFile(const std::filesystem::path& path) override;
    bool Exists(const std::filesystem::path& path) override;
    RenameResult RenameFolder(const std::filesystem::path& from,
                              const std::filesystem::path& to) override;

  private:
    RenameMode mode_;
};

}  // namespace host
