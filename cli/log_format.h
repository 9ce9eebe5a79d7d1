// The line format of the command line's output, which is also the log that --undo reads back.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// One output line: five fields, raw bytes before escaping.
struct LogLine {
    std::string outcome;
    std::string chart;   // the chart as given
    std::string folder;  // the chart folder
    std::string target;  // the folder's new path
    std::string reason;
};

// The field with every backslash as \\ and every control byte (0x00-0x1F, 0x7F) as \t, \n, \r or
// \xHH, so that no field holds a tab or a line break.
std::string EscapeField(std::string_view bytes);

// The bytes an escaped field stands for; nullopt for a stray backslash, a bad escape or a raw
// control byte.
std::optional<std::string> UnescapeField(std::string_view field);

// The line's five escaped fields joined by tabs, without a line break.
std::string FormatLine(const LogLine& line);

// The fields of one line (a trailing CR is dropped); nullopt unless there are exactly five
// fields that all unescape.
std::optional<LogLine> ParseLine(std::string_view line);

// A path's native bytes as written to the output: as they are on POSIX, UTF-8 on Windows (with
// an unpaired surrogate written the way UTF-8 would write its code point, so it reads back).
std::string PathBytes(const std::filesystem::path& path);

// The path that PathBytes wrote; nullopt when the bytes cannot name a path here.
std::optional<std::filesystem::path> PathFromBytes(std::string_view bytes);

}  // namespace cli
