// The file system of a Windows host. Paths are UTF-16 throughout.
#include <windows.h>

#include "host/file_system.h"
#include "host/windows_text.h"

namespace host {

namespace {

class WindowsFileSystem : public FileSystem {
  public:
    bool IsChartFile(const std::filesystem::path& path) override {
        // Opening without access rights follows symbolic links and tells a disk file from a
        // folder, a pipe or a device such as CON, without touching the file's contents.
        const HANDLE file =
            CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        BY_HANDLE_FILE_INFORMATION information;
        const bool isFile = GetFileType(file) == FILE_TYPE_DISK &&
                            GetFileInformationByHandle(file, &information) &&
                            (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        CloseHandle(file);
        return isFile;
    }

    bool Exists(const std::filesystem::path& path) override {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    RenameResult RenameFolder(const std::filesystem::path& from,
                              const std::filesystem::path& to) override {
        // Without MOVEFILE_REPLACE_EXISTING, MoveFileW never replaces anything.
        if (MoveFileW(from.c_str(), to.c_str())) {
            return {};
        }
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            return {RenameError::TargetExists, {}};
        }
        if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && !Exists(from)) {
            return {RenameError::SourceMissing, {}};
        }
        return {RenameError::System, detail::SystemErrorText(error)};
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static WindowsFileSystem fileSystem;
    return fileSystem;
}

}  // namespace host
