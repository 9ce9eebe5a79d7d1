#include "renaming/dry_run.h"

#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace renaming {

namespace fs = std::filesystem;

namespace {

using Native = fs::path::string_type;

constexpr Native::value_type kSeparator = fs::path::preferred_separator;

// The longest name a folder can have on the usual file systems (bytes on POSIX, UTF-16 units on
// Windows).
constexpr std::size_t kMaxNameLength = 255;

#ifdef _WIN32
// Windows finds a name whatever the case of its letters, so records are looked up the same way:
// by the name with its Latin letters (ASCII, Latin-1 and full-width) made upper case. Folding
// keeps the length, so positions in a key are positions in the path it came from.
void Fold(Native& text) {
    for (wchar_t& c : text) {
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
            (c >= 0xFF41 && c <= 0xFF5A))
            c = static_cast<wchar_t>(c - 0x20);
    }
}
#else
void Fold(Native&) {}
#endif

// A path's text with the preferred separator throughout.
Native Text(const fs::path& path) {
    fs::path preferred = path;
    preferred.make_preferred();
    return preferred.native();
}

// The record key of a path: its text without trailing separators, so "/a/b/" and "/a/b" name the
// same record, and on Windows without regard to case.
Native Key(const fs::path& path) {
    Native key = Text(path);
    const std::size_t root = path.root_path().native().size();
    while (key.size() > root && key.back() == kSeparator)
        key.pop_back();
    Fold(key);
    return key;
}

// The first key after every key that lies inside folder (folder + separator + anything).
Native PastInside(const Native& folder) {
    return folder + static_cast<Native::value_type>(kSeparator + 1);
}

}  // namespace

std::optional<fs::path> DryRunFileSystem::RealPath(const fs::path& path) const {
    if (moved_.empty())
        return path;
    // The deepest recorded folder on the path decides: the key itself, then the key up to each
    // separator, right to left, roots aside.
    const Native key = Key(path);
    const std::size_t root = path.root_path().native().size();
    for (std::size_t length = key.size(); length > root;) {
        auto found = moved_.find(key.substr(0, length));
        if (found != moved_.end()) {
            if (!found->second)
                return std::nullopt;
            return fs::path(found->second->native() + Text(path).substr(length));
        }
        const std::size_t separator = key.rfind(kSeparator, length - 1);
        if (separator == Native::npos)
            break;
        length = separator;
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
    const Native fromKey = Key(from);
    const Native toKey = Key(to);
#ifdef _WIN32
    // Windows renames a folder to its own name in other letter case; lookups see no change.
    if (fromKey == toKey)
        return {};
#endif
    if (Exists(to))
        return {host::RenameError::TargetExists, {}};
    // Composed names can outgrow what a file system takes in one name (a long title in UTF-8);
    // the real rename would fail, so the pretended one does too, with the system's words.
    if (to.filename().native().size() > kMaxNameLength)
        return {host::RenameError::System,
                std::make_error_code(std::errc::filename_too_long).message()};

    // Records at and under the new name describe what used to be there, which is gone now.
    moved_.erase(toKey);
    moved_.erase(moved_.lower_bound(toKey + kSeparator), moved_.lower_bound(PastInside(toKey)));
    // Records inside the moved folder move with it.
    const auto first = moved_.lower_bound(fromKey + kSeparator);
    const auto last = moved_.lower_bound(PastInside(fromKey));
    std::vector<std::pair<Native, std::optional<fs::path>>> inside;
    for (auto it = first; it != last; ++it)
        inside.emplace_back(toKey + it->first.substr(fromKey.size()), std::move(it->second));
    moved_.erase(first, last);
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
