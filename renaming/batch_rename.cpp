// The batch folder rename: one walk over the chart list, one outcome per entry.
#include "renaming/batch_rename.h"

#include <exception>
#include <new>
#include <utility>

#include "host/name_guard.h"
#include "naming/folder_name.h"

namespace renaming {

namespace {

using NativeString = std::filesystem::path::string_type;
using NativeChar = NativeString::value_type;

// Paths are split on their native text, never through std::filesystem's own decomposition, so
// that exactly the host's delimiters count and nothing is normalised on the way. On POSIX the
// text is UTF-8, whose multi-byte characters never contain a "/" byte; on Windows it is UTF-16.
#ifdef _WIN32
constexpr bool IsSeparator(NativeChar c) {
    return c == L'\\' || c == L'/';
}
constexpr bool IsDelimiter(NativeChar c) {
    return IsSeparator(c) || c == L':';
}
#else
constexpr bool IsSeparator(NativeChar c) {
    return c == '/';
}
constexpr bool IsDelimiter(NativeChar c) {
    return IsSeparator(c);
}
#endif

std::size_t LastDelimiter(const NativeString& text) {
    for (std::size_t i = text.size(); i > 0; --i) {
        if (IsDelimiter(text[i - 1])) {
            return i - 1;
        }
    }
    return NativeString::npos;
}

// The entry up to its last delimiter. A trailing separator is dropped unless it is the first
// character or follows a drive colon or another separator, so "/" and "D:\" stay roots.
NativeString ChartFolder(const NativeString& chart) {
    const std::size_t delimiter = LastDelimiter(chart);
    if (delimiter == NativeString::npos) {
        return {};
    }
    std::size_t end = delimiter + 1;
    if (IsSeparator(chart[delimiter]) && delimiter > 0 && !IsDelimiter(chart[delimiter - 1])) {
        end = delimiter;
    }
    return chart.substr(0, end);
}

// The chart folder up to and including its own last delimiter; empty without one.
NativeString ParentPath(const NativeString& folder) {
    const std::size_t delimiter = LastDelimiter(folder);
    return delimiter == NativeString::npos ? NativeString() : folder.substr(0, delimiter + 1);
}

// True when the folder cannot be renamed within a parent: no folder at all, a root ("/", "D:\",
// "D:"), or a last part "." or ".." that names some other folder than its text suggests.
bool HasNoParent(const NativeString& folder) {
    if (folder.empty() || IsDelimiter(folder.back())) {
        return true;
    }
    const std::size_t delimiter = LastDelimiter(folder);
    const NativeString last =
        delimiter == NativeString::npos ? folder : folder.substr(delimiter + 1);
    static const NativeString kDot(1, NativeChar('.'));
    static const NativeString kDotDot(2, NativeChar('.'));
    return last == kDot || last == kDotDot;
}

Reason RefusalReason(host::NameRefusal refusal) {
    switch (refusal) {
        case host::NameRefusal::Empty:
            return Reason::NameEmpty;
        case host::NameRefusal::DotName:
            return Reason::NameDot;
        case host::NameRefusal::InvalidEncoding:
            return Reason::NameInvalidEncoding;
        case host::NameRefusal::PathSeparator:
            return Reason::NamePathSeparator;
        case host::NameRefusal::ControlCharacter:
            return Reason::NameControlCharacter;
        case host::NameRefusal::None:
            break;
    }
    return Reason::None;
}

void SetFailure(EntryReport& report, const host::RenameResult& result) {
    report.outcome = Outcome::Failed;
    switch (result.error) {
        case host::RenameError::TargetExists:
            report.reason = Reason::TargetExists;
            break;
        case host::RenameError::SourceMissing:
            report.reason = Reason::SourceMissing;
            break;
        case host::RenameError::Unsupported:
            report.reason = Reason::Unsupported;
            break;
        case host::RenameError::System:
        case host::RenameError::None:
            report.reason = Reason::SystemError;
            report.systemMessage = result.systemMessage;
            break;
    }
}

EntryReport RenameOne(const ChartEntry& entry, std::string_view nameTemplate,
                      host::FileSystem& fileSystem) {
    EntryReport report;
    report.chart = entry.chart;
    if (entry.cut) {
        report.outcome = Outcome::Refused;
        report.reason = Reason::PathCut;
        return report;
    }
    // No file name holds a NUL: the system would see only the text before it, while the folder
    // and its parent are taken from the whole text, and could rename the chart file itself.
    if (entry.chart.native().find(NativeChar(0)) != NativeString::npos) {
        report.outcome = Outcome::Skipped;
        report.reason = Reason::NoSuchFile;
        return report;
    }
    if (!fileSystem.IsChartFile(entry.chart)) {
        report.outcome = Outcome::Skipped;
        report.reason = fileSystem.Exists(entry.chart) ? Reason::IsFolder : Reason::NoSuchFile;
        return report;
    }
    report.folder = std::filesystem::path(ChartFolder(entry.chart.native()));
    const NativeString& folder = report.folder.native();

    // The name is made before the folder is judged, so that an unreadable chart is reported as
    // such wherever it lies.
    const naming::FolderName name = naming::MakeFolderName(
        fileSystem.ReadablePath(entry.chart), nameTemplate, naming::ChartCheck::KnownFile);
    if (name.readFailed) {
        report.outcome = Outcome::ReadFailure;
        report.reason = Reason::ChartUnreadable;
        return report;
    }
    if (HasNoParent(folder)) {
        report.outcome = Outcome::Refused;
        report.reason = Reason::NoParentFolder;
        return report;
    }
    host::GuardedName guarded = host::GuardFolderName(name.name);
    if (!guarded.native) {
        report.outcome = Outcome::Refused;
        report.reason = RefusalReason(guarded.refusal);
        return report;
    }
    NativeString target = ParentPath(folder);
    target += guarded.native->native();
    report.target = std::move(target);
    if (report.target.native() == folder) {
        report.outcome = Outcome::Unchanged;
        return report;
    }
    const host::RenameResult result = fileSystem.RenameFolder(report.folder, report.target);
    if (result.ok()) {
        report.outcome = Outcome::Renamed;
    } else {
        SetFailure(report, result);
    }
    return report;
}

}  // namespace

bool BatchReport::HasFailures() const {
    if (!completed) {
        return true;
    }
    for (const EntryReport& entry : entries) {
        if (entry.outcome == Outcome::ReadFailure || entry.outcome == Outcome::Refused ||
            entry.outcome == Outcome::Failed) {
            return true;
        }
    }
    return false;
}

BatchReport RenameFolders(const std::vector<ChartEntry>& list, std::string_view nameTemplate,
                          host::FileSystem& fileSystem, Reporter* reporter) {
    BatchReport batch;
    // Anything unexpected (memory, a throwing file system) ends the walk at once; the entries
    // not yet visited are left as they are and not reported.
    try {
        const std::size_t count = list.size();
        batch.entries.reserve(count);
        for (std::size_t index = 0; index < count; ++index) {
            batch.entries.push_back(RenameOne(list[index], nameTemplate, fileSystem));
            if (reporter != nullptr) {
                reporter->EntryDone(index, count, batch.entries.back());
            }
        }
    } catch (const std::exception& error) {
        batch.completed = false;
        batch.stopMessage = error.what();
    } catch (...) {
        batch.completed = false;
        batch.stopMessage = "unknown error";
    }
    return batch;
}

}  // namespace renaming
