#include "renaming/dry_run.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace renaming {

namespace fs = std::filesystem;

namespace {

// The longest name a folder can have on the usual file systems (bytes on POSIX, UTF-16 units on
// Windows).
constexpr std::size_t kMaxNameLength = 255;

#ifdef _WIN32
// Windows finds a name whatever the case of its letters, so records are looked up the same way:
// by the name with its Latin letters (ASCII, Latin-1 and full-width) made upper case.
fs::path Folded(const fs::path& path) {
    std::wstring text = path.native();
    for (wchar_t& c : text) {
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = static_cast<wchar_t>(c - 0x20);
        else if (c >= 0xFF41 && c <= 0xFF5A)
            c = static_cast<wchar_t>(c - 0x20);
    }
    return fs::path(std::move(text));
}
#else
fs::path Folded(const fs::path& path) {
    return path;
}
#endif

// The record key of a path: without a trailing separator, so "/a/b/" and "/a/b" name the same
// record, and on Windows without regard to case.
fs::path Key(const fs::path& path) {
    if (path.has_relative_path() && !path.has_filename())
        return Folded(path.parent_path());
    return Folded(path);
}

// True when path is base or lies inside it, comparing whole path elements.
bool IsWithin(const fs::path& path, const fs::path& base) {
    auto [baseEnd, pathEnd] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
    (void)pathEnd;
    return baseEnd == base.end();
}

// The elements of path after the first ones that make up base, appended to to.
fs::path Rebase(const fs::path& path, const fs::path& base, fs::path to) {
    auto it = path.begin();
    for (auto b = base.begin(); b != base.end() && it != path.end(); ++b)
        ++it;
    for (; it != path.end(); ++it)
        to /= *it;
    return to;
}

}  // namespace

std::optional<fs::path> DryRunFileSystem::RealPath(const fs::path& path) const {
    if (moved_.empty())
        return path;
    std::vector<fs::path> prefixes;
    fs::path prefix;
    for (const fs::path& element : path) {
        prefix /= element;
        prefixes.push_back(prefix);
    }
    for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) {
        auto found = moved_.find(Folded(*it));
        if (found == moved_.end())
            continue;
        if (!found->second)
            return std::nullopt;
        return Rebase(path, *it, *found->second);
    }
    return path;
}

bool DryRunFileSystem::IsChartFile(const fs::path& path) {
    auto real = RealPath(path);
    return real && real_.IsChartFile(*real);
}

bool DryRunFileSystem::Exists(const fs::path& path) {
    auto real = RealPath(path);
    return real && real_.Exists(*real);
}

host::RenameResult DryRunFileSystem::RenameFolder(const fs::path& from, const fs::path& to) {
    auto realFrom = RealPath(from);
    if (!realFrom || !real_.Exists(*realFrom))
        return {host::RenameError::SourceMissing, {}};
    const fs::path fromKey = Key(from);
    const fs::path toKey = Key(to);
#ifdef _WIN32
    // Windows renames a folder to its own name in other letter case; lookups see no change.
    if (fromKey == toKey)
        return {};
#endif
    if (Exists(to))
        return {host::RenameError::TargetExists, {}};
    // Composed names can outgrow what a file system takes in one name (a long title in UTF-8);
    // the real rename would fail, so the pretended one does too, with the system's words.
    if (toKey.filename().native().size() > kMaxNameLength)
        return {host::RenameError::System,
                std::make_error_code(std::errc::filename_too_long).message()};

    // Records under the new name describe what used to be there, which is gone now.
    for (auto it = moved_.lower_bound(toKey); it != moved_.end() && IsWithin(it->first, toKey);)
        it = moved_.erase(it);
    // Records inside the moved folder move with it.
    std::vector<std::pair<fs::path, std::optional<fs::path>>> inside;
    for (auto it = moved_.lower_bound(fromKey);
         it != moved_.end() && IsWithin(it->first, fromKey);) {
        inside.emplace_back(Rebase(it->first, fromKey, toKey), std::move(it->second));
        it = moved_.erase(it);
    }
    for (auto& record : inside)
        moved_.insert_or_assign(std::move(record.first), std::move(record.second));
    moved_.insert_or_assign(toKey, std::move(*realFrom));
    moved_.insert_or_assign(fromKey, std::nullopt);
    return {};
}

fs::path DryRunFileSystem::ReadablePath(const fs::path& path) {
    auto real = RealPath(path);
    return real ? real_.ReadablePath(*real) : path;
}

}  // namespace renaming
