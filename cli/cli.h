// The command-line companion: the batch rename for scripts and large libraries, with a dry run,
// a log and an undo from that log.
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <string_view>
#include <vector>

#include "host/file_system.h"
#include "renaming/batch_rename.h"

namespace cli {

// One command-line argument in the system's own form (bytes on POSIX, UTF-16 on Windows).
using Argument = std::filesystem::path::string_type;

// Exit statuses: nothing failed; an entry failed, was refused or could not be read, or the walk
// stopped; bad arguments or a log that cannot be read.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailures = 1;
inline constexpr int kExitUsage = 2;

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool progress = false;  // err is a terminal that may show a progress line
};

// Runs the command line with the arguments that follow the program's name and returns the exit
// status. Renames go to fileSystem (the machine's own by default).
int Run(const std::vector<Argument>& arguments, const Streams& streams);
int Run(const std::vector<Argument>& arguments, const Streams& streams,
        host::FileSystem& fileSystem);

// The output's first field for an outcome.
std::string_view OutcomeText(renaming::Outcome outcome);

// The output's fixed phrase for a reason; empty for Reason::None and Reason::SystemError, whose
// text is the system's.
std::string_view ReasonText(renaming::Reason reason);

}  // namespace cli
