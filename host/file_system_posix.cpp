// The file system of a POSIX host.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#if defined(__linux__)
#include <sys/syscall.h>
#endif

#include "host/posix_file_system.h"

#if defined(__linux__) && !defined(RENAME_NOREPLACE)
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace host {

namespace {

// The system's rename that fails with EEXIST instead of replacing; ENOSYS where there is none.
int RenameNoReplace(const char* from, const char* to) {
#if defined(__linux__)
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    return renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#elif defined(SYS_renameat2)
    return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
    (void)from;
    (void)to;
    errno = ENOSYS;
    return -1;
#endif
#elif defined(__APPLE__)
    return renamex_np(from, to, RENAME_EXCL);
#else
    (void)from;
    (void)to;
    errno = ENOSYS;
    return -1;
#endif
}

// True for the answers of a kernel or file system that cannot rename without replacing.
bool NoReplaceUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

// 0 when an entry exists under path (a final symbolic link not followed), else why not.
int LookUp(const char* path) {
    struct stat status;
    return lstat(path, &status) == 0 ? 0 : errno;
}

RenameResult SystemError(int error) {
    return {RenameError::System, std::generic_category().message(error)};
}

RenameResult Failure(int error, const char* from) {
    if (error == EEXIST || error == ENOTEMPTY) {
        return {RenameError::TargetExists, {}};
    }
    if (error == ENOENT && LookUp(from) == ENOENT) {
        return {RenameError::SourceMissing, {}};
    }
    return SystemError(error);
}

// For file systems without a no-replace rename. Between the check and the rename another
// program could create the target; rename() would then still refuse a file or a full folder,
// and only an empty folder made in that instant could be replaced.
RenameResult CheckThenRename(const char* from, const char* to) {
    const int found = LookUp(to);
    if (found == 0) {
        return {RenameError::TargetExists, {}};
    }
    if (found != ENOENT) {
        return SystemError(found);
    }
    if (std::rename(from, to) != 0) {
        return Failure(errno, from);
    }
    return {};
}

}  // namespace

bool PosixFileSystem::IsChartFile(const std::filesystem::path& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool PosixFileSystem::Exists(const std::filesystem::path& path) {
    return LookUp(path.c_str()) == 0;
}

RenameResult PosixFileSystem::RenameFolder(const std::filesystem::path& from,
                                           const std::filesystem::path& to) {
    if (mode_ == RenameMode::NoReplaceCall) {
        if (RenameNoReplace(from.c_str(), to.c_str()) == 0) {
            return {};
        }
        const int error = errno;
        if (!NoReplaceUnsupported(error)) {
            return Failure(error, from.c_str());
        }
    }
    return CheckThenRename(from.c_str(), to.c_str());
}

FileSystem& SystemFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace host
