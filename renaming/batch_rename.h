// The batch folder rename: one walk over the chart list, one outcome per entry.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/file_system.h"

namespace renaming {

// One listed chart. cut marks a path that was shortened when it was listed: it no longer names
// what the user dropped, so it is never used for a rename.
struct ChartEntry {
    std::filesystem::path chart;
    bool cut = false;
};

enum class Outcome {
    Renamed,      // the folder now has the composed name
    Unchanged,    // the folder already had the composed name
    Skipped,      // no such file, or a folder (also: an earlier entry renamed this chart's folder)
    ReadFailure,  // the chart could not be read
    Refused,      // the name or the path was not safe to use; nothing was renamed
    Failed,       // the rename itself failed
};

// Why an entry was not renamed. Each caller words these in its own language.
enum class Reason {
    None,
    NoSuchFile,            // Skipped
    IsFolder,              // Skipped (or anything else that is no regular file)
    ChartUnreadable,       // ReadFailure
    PathCut,               // Refused: the listed path was cut to its first 254 bytes
    NoParentFolder,        // Refused: the chart folder is a root, or has no parent
    NameEmpty,             // Refused
    NameDot,               // Refused: "." or ".."
    NameInvalidEncoding,   // Refused
    NamePathSeparator,     // Refused
    NameControlCharacter,  // Refused
    TargetExists,          // Failed
    SourceMissing,         // Failed: the folder vanished during the walk
    Unsupported,           // Failed: the file system cannot rename without replacing
    SystemError,           // Failed: see EntryReport::systemMessage
};

struct EntryReport {
    Outcome outcome = Outcome::Skipped;
    Reason reason = Reason::None;
    std::filesystem::path chart;   // the entry as listed
    std::filesystem::path folder;  // the chart folder; empty when not derived
    std::filesystem::path target;  // the new folder path; empty when no name was made
    std::string systemMessage;     // UTF-8, only for Reason::SystemError
};

struct BatchReport {
    std::vector<EntryReport> entries;  // one per visited entry, in list order
    bool completed = true;             // false when an unexpected error stopped the walk
    std::string stopMessage;           // UTF-8, why the walk stopped

    // True when an entry failed, was refused, could not be read, or the walk stopped.
    bool HasFailures() const;
};

// Told about each entry as it is done (for a title update or a progress line).
class Reporter {
  public:
    virtual ~Reporter() = default;
    virtual void EntryDone(std::size_t index, std::size_t count, const EntryReport& entry) = 0;
};

// Renames, for each listed chart in list order, the folder that holds it after what the chart
// says, inside the same parent folder. nameTemplate is code page 932 bytes.
BatchReport RenameFolders(const std::vector<ChartEntry>& list, std::string_view nameTemplate,
                          host::FileSystem& fileSystem, Reporter* reporter = nullptr);

}  // namespace renaming
