#include "cli/cli.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "cli/log_format.h"
#include "cli/progress.h"
#include "host/cp932.h"
#include "renaming/dry_run.h"

#ifndef BFR_VERSION
#error "BFR_VERSION must name the program's version"
#endif

namespace cli {

namespace fs = std::filesystem;
using renaming::Outcome;
using renaming::Reason;

namespace {

constexpr std::string_view kProgram = "bms-folder-renamer-cli";
constexpr std::string_view kDefaultTemplate = "1 [2] 3 - 5";

constexpr std::string_view kUsage =
    R"(Usage: bms-folder-renamer-cli [-t TEMPLATE] [--apply] CHART...
       bms-folder-renamer-cli --undo LOG

Renames the folder that holds each chart after the chart's #ARTIST, #GENRE,
#TITLE and #PLAYLEVEL headers, keeping it in the same parent folder. Without
--apply nothing changes: the lines say what --apply would do.

  -t, --template TEMPLATE  naming template: 1 artist, 2 genre, 3 title,
                           4 level, 5 level as stars; other characters stay
                           (default "1 [2] 3 - 5")
      --apply              rename the folders; the output is a log for --undo
      --undo LOG           give the folders renamed in LOG their old names back
  -h, --help               show this help
      --version            show the version

A CHART of "-" reads chart paths from standard input, one per line.

Each output line holds five tab-separated fields: outcome, chart as given,
chart folder, target folder, reason. Backslashes and control characters are
escaped as \\, \t, \n, \r and \xHH. Outcomes: renamed, unchanged, skipped,
read-error, refused, failed (--undo: restored, failed).

Exit status: 0 when nothing failed, 1 when something failed, was refused or
could not be read, 2 for a usage error or a log that cannot be read.
)";

// The bytes an argument stands for: the argument itself on POSIX, UTF-8 on Windows.
std::string ArgumentBytes(const Argument& argument) {
    return PathBytes(fs::path(argument));
}

template <std::size_t N>
bool Is(const Argument& argument, const char (&text)[N]) {
    return argument == fs::path(text).native();
}

bool StartsWith(const Argument& argument, std::string_view prefix) {
    const Argument native = fs::path(prefix).native();
    return argument.compare(0, native.size(), native) == 0;
}

struct UsageError {
    std::string message;
};

// What the arguments ask for.
struct Command {
    enum class Kind { Rename, Undo, Help, Version } kind = Kind::Rename;
    bool apply = false;
    std::optional<std::string> nameTemplate;  // UTF-8, as given
    std::vector<Argument> charts;
    std::optional<Argument> undoLog;
};

// The value of an option: the rest of the argument after prefix ("-tVALUE", "--undo=LOG"), or
// the next argument when the argument is the option's name alone.
Argument OptionValue(const std::vector<Argument>& arguments, std::size_t& i, std::string_view name,
                     std::string_view prefix) {
    const Argument& argument = arguments[i];
    if (argument != fs::path(name).native())
        return argument.substr(prefix.size());
    if (i + 1 == arguments.size())
        throw UsageError{std::string(name) + " needs a value"};
    return arguments[++i];
}

Command ParseArguments(const std::vector<Argument>& arguments) {
    Command command;
    bool onlyCharts = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const Argument& argument = arguments[i];
        const bool option = !onlyCharts && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            if (argument.empty())
                throw UsageError{"an empty chart path was given"};
            command.charts.push_back(argument);
        } else if (Is(argument, "--")) {
            onlyCharts = true;
        } else if (Is(argument, "-h") || Is(argument, "--help")) {
            command.kind = Command::Kind::Help;
            return command;
        } else if (Is(argument, "--version")) {
            command.kind = Command::Kind::Version;
            return command;
        } else if (Is(argument, "--apply")) {
            command.apply = true;
        } else if (StartsWith(argument, "-t") && !StartsWith(argument, "--")) {
            command.nameTemplate = ArgumentBytes(OptionValue(arguments, i, "-t", "-t"));
        } else if (Is(argument, "--template") || StartsWith(argument, "--template=")) {
            command.nameTemplate =
                ArgumentBytes(OptionValue(arguments, i, "--template", "--template="));
        } else if (Is(argument, "--undo") || StartsWith(argument, "--undo=")) {
            if (command.undoLog)
                throw UsageError{"--undo was given twice"};
            command.undoLog = OptionValue(arguments, i, "--undo", "--undo=");
            if (command.undoLog->empty())
                throw UsageError{"--undo needs a log"};
        } else {
            throw UsageError{"unknown option " + ArgumentBytes(argument)};
        }
    }
    if (command.undoLog) {
        if (!command.charts.empty() || command.apply || command.nameTemplate)
            throw UsageError{"--undo takes no chart, template or --apply"};
        command.kind = Command::Kind::Undo;
    } else if (command.charts.empty()) {
        throw UsageError{"no chart was given"};
    }
    return command;
}

// A chart path made absolute against the current folder and free of "." and ".." elements,
// symbolic links left as they are: the chart folder is the folder that holds the path as given.
fs::path ListedPath(const fs::path& given) {
    return fs::absolute(given).lexically_normal();
}

struct Listed {
    std::vector<renaming::ChartEntry> entries;
    std::vector<std::string> given;  // each entry's bytes as given, for the output
};

void AddChart(Listed& listed, const fs::path& path, std::string givenBytes) {
    listed.entries.push_back({ListedPath(path), false});
    listed.given.push_back(std::move(givenBytes));
}

// Reads chart paths, one a line, raw, a trailing CR dropped and blank lines passed over.
void ReadChartLines(std::istream& in, Listed& listed) {
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.find('\0') != std::string::npos)
            throw UsageError{"line " + std::to_string(number) +
                             " of standard input holds a NUL byte"};
        auto path = PathFromBytes(line);
        if (!path)
            throw UsageError{"line " + std::to_string(number) + " of standard input is not UTF-8"};
        AddChart(listed, *path, line);
    }
}

LogLine EntryLine(const std::string& given, const renaming::EntryReport& entry) {
    LogLine line;
    line.outcome = OutcomeText(entry.outcome);
    line.chart = given;
    line.folder = PathBytes(entry.folder);
    line.target = PathBytes(entry.target);
    if (entry.reason == Reason::SystemError)
        line.reason = entry.systemMessage.empty() ? "system error" : entry.systemMessage;
    else
        line.reason = ReasonText(entry.reason);
    return line;
}

// Writes each entry's line as soon as the entry is done, so that a log holds every rename made
// even when the run is cut short.
class LinePrinter final : public renaming::Reporter {
  public:
    LinePrinter(const Streams& streams, const std::vector<std::string>& given, bool flushEach)
        : streams_(streams), given_(given), flushEach_(flushEach), progress_(streams.err) {}

    void EntryDone(std::size_t index, std::size_t count,
                   const renaming::EntryReport& entry) override {
        static const std::string kUnknown;
        streams_.out << FormatLine(
                            EntryLine(index < given_.size() ? given_[index] : kUnknown, entry))
                     << '\n';
        if (flushEach_)
            streams_.out.flush();
        // A rename whose line cannot be written could not be undone from the log: stop the walk
        // (the batch ends at once on an exception) rather than rename on unrecorded.
        if (!streams_.out)
            throw std::runtime_error("cannot write the output");
        if (streams_.progress)
            progress_.Update(index, count);
    }

    void Finish() { progress_.Erase(); }

  private:
    const Streams& streams_;
    const std::vector<std::string>& given_;
    bool flushEach_;
    ProgressLine progress_;
};

void SayError(const Streams& streams, std::string_view message) {
    streams.err << kProgram << ": " << message << '\n';
}

int Usage(const Streams& streams, std::string_view message) {
    streams.err << kProgram << ": " << message << " (see --help)\n";
    return kExitUsage;
}

int RenameCharts(const Command& command, const Streams& streams, host::FileSystem& fileSystem) {
    Listed listed;
    try {
        for (const Argument& chart : command.charts) {
            if (Is(chart, "-"))
                ReadChartLines(streams.in, listed);
            else
                AddChart(listed, fs::path(chart), ArgumentBytes(chart));
        }
    } catch (const UsageError& error) {
        return Usage(streams, error.message);
    } catch (const fs::filesystem_error& error) {
        SayError(streams, std::string("cannot make the chart paths absolute: ") + error.what());
        return kExitFailures;
    }

    const std::string nameTemplate =
        host::Utf8ToCp932(command.nameTemplate ? *command.nameTemplate : kDefaultTemplate);
    renaming::DryRunFileSystem dryRun(fileSystem);
    host::FileSystem& target = command.apply ? fileSystem : static_cast<host::FileSystem&>(dryRun);
    LinePrinter printer(streams, listed.given, command.apply);
    renaming::BatchReport report;
    try {
        report = renaming::RenameFolders(listed.entries, nameTemplate, target, &printer);
    } catch (const std::exception& error) {
        printer.Finish();
        SayError(streams, std::string("stopped: ") + error.what());
        return kExitFailures;
    }
    printer.Finish();
    streams.out.flush();
    int status = report.HasFailures() ? kExitFailures : kExitOk;
    if (!report.completed) {
        SayError(streams, "stopped: " + report.stopMessage);
        status = kExitFailures;
    } else if (!streams.out) {
        SayError(streams, "cannot write the output");
        status = kExitFailures;
    }
    return status;
}

std::string_view RenameErrorText(host::RenameError error) {
    switch (error) {
        case host::RenameError::None:
            return "";
        case host::RenameError::TargetExists:
            return ReasonText(Reason::TargetExists);
        case host::RenameError::SourceMissing:
            return ReasonText(Reason::SourceMissing);
        case host::RenameError::Unsupported:
            return ReasonText(Reason::Unsupported);
        case host::RenameError::System:
            break;
    }
    return "system error";
}

// One folder of the log to give its old name back.
struct Restore {
    LogLine line;
    fs::path folder;  // the old name, given back
    fs::path target;  // the name the rename gave
};

// The folders a log renamed, in the log's order; throws UsageError for a log this program did
// not write.
std::vector<Restore> ReadLog(const fs::path& logPath, const std::string& logName) {
    std::ifstream file(logPath, std::ios::binary);
    if (!file)
        throw UsageError{"cannot read the log " + logName + ": " + std::strerror(errno)};
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        throw UsageError{"cannot read the log " + logName};

    std::vector<Restore> restores;
    std::size_t start = 0;
    for (std::size_t number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view raw = std::string_view(text).substr(start, end - start);
        start = end + 1;
        if (raw.empty() || raw == "\r")
            continue;
        const std::string where = "line " + std::to_string(number) + " of the log " + logName;
        auto line = ParseLine(raw);
        if (!line)
            throw UsageError{where + " cannot be read"};
        static constexpr Outcome kOutcomes[] = {Outcome::Renamed, Outcome::Unchanged,
                                                Outcome::Skipped, Outcome::ReadFailure,
                                                Outcome::Refused, Outcome::Failed};
        bool known = false;
        for (Outcome outcome : kOutcomes)
            known = known || line->outcome == OutcomeText(outcome);
        if (!known)
            throw UsageError{where + " holds no outcome of a rename"};
        if (line->outcome != OutcomeText(Outcome::Renamed))
            continue;
        auto folder = PathFromBytes(line->folder);
        auto target = PathFromBytes(line->target);
        // The renames this program makes keep a folder in its parent: anything else in a log
        // was not written by it, and undoing it could move a folder anywhere.
        if (!folder || !target || folder->empty() || target->empty() ||
            !folder->has_parent_path() || folder->parent_path() != target->parent_path() ||
            *folder == *target)
            throw UsageError{where + " is no rename within one folder"};
        restores.push_back({std::move(*line), std::move(*folder), std::move(*target)});
    }
    return restores;
}

int Undo(const Argument& log, const Streams& streams, host::FileSystem& fileSystem) {
    std::vector<Restore> restores;
    try {
        restores = ReadLog(fs::path(log), ArgumentBytes(log));
    } catch (const UsageError& error) {
        return Usage(streams, error.message);
    }
    int status = kExitOk;
    for (auto it = restores.rbegin(); it != restores.rend(); ++it) {
        const host::RenameResult result = fileSystem.RenameFolder(it->target, it->folder);
        LogLine line = std::move(it->line);
        line.outcome = result.ok() ? "restored" : "failed";
        line.reason = result.error == host::RenameError::System && !result.systemMessage.empty()
                          ? result.systemMessage
                          : std::string(RenameErrorText(result.error));
        if (!result.ok())
            status = kExitFailures;
        streams.out << FormatLine(line) << '\n';
        streams.out.flush();
    }
    if (!streams.out) {
        SayError(streams, "cannot write the output");
        status = kExitFailures;
    }
    return status;
}

}  // namespace

std::string_view OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::Renamed:
            return "renamed";
        case Outcome::Unchanged:
            return "unchanged";
        case Outcome::Skipped:
            return "skipped";
        case Outcome::ReadFailure:
            return "read-error";
        case Outcome::Refused:
            return "refused";
        case Outcome::Failed:
            return "failed";
    }
    return "failed";
}

std::string_view ReasonText(Reason reason) {
    switch (reason) {
        case Reason::None:
            return "";
        case Reason::NoSuchFile:
            return "no such file";
        case Reason::IsFolder:
            return "not a regular file";
        case Reason::ChartUnreadable:
            return "chart cannot be read";
        case Reason::PathCut:
            return "path was cut";
        case Reason::NoParentFolder:
            return "no parent folder";
        case Reason::NameEmpty:
            return "name is empty";
        case Reason::NameDot:
            return "name is . or ..";
        case Reason::NameInvalidEncoding:
            return "name is not valid code page 932";
        case Reason::NamePathSeparator:
            return "name holds a path separator";
        case Reason::NameControlCharacter:
            return "name holds a control character";
        case Reason::TargetExists:
            return "target exists";
        case Reason::SourceMissing:
            return "folder vanished";
        case Reason::Unsupported:
            return "file system cannot rename without replacing";
        case Reason::SystemError:
            return "";
    }
    return "";
}

int Run(const std::vector<Argument>& arguments, const Streams& streams) {
    return Run(arguments, streams, host::SystemFileSystem());
}

int Run(const std::vector<Argument>& arguments, const Streams& streams,
        host::FileSystem& fileSystem) {
    Command command;
    try {
        command = ParseArguments(arguments);
    } catch (const UsageError& error) {
        return Usage(streams, error.message);
    }
    switch (command.kind) {
        case Command::Kind::Help:
            streams.out << kUsage;
            return streams.out ? kExitOk : kExitFailures;
        case Command::Kind::Version:
            streams.out << kProgram << ' ' << BFR_VERSION << '\n';
            return streams.out ? kExitOk : kExitFailures;
        case Command::Kind::Undo:
            return Undo(*command.undoLog, streams, fileSystem);
        case Command::Kind::Rename:
            break;
    }
    return RenameCharts(command, streams, fileSystem);
}

}  // namespace cli
