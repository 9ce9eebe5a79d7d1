// The header values of one BMS chart that folder names are made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace naming {

// Artist, genre, title, level text and level stars of one chart, as code page 932 bytes.
struct TBmsHeader {
    std::string Artist, Genre, Title, Level, LevelStars;
};

// The chart could not be opened or read; no partial header exists.
class ReadFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws ReadFailure when the chart cannot be opened or read.
TBmsHeader ReadBmsHeader(const std::filesystem::path& chart);

// A header value holds at most this many bytes of its line.
inline constexpr std::size_t kMaxValueBytes = 1000;

// LevelStars never holds more stars than this (two bytes each).
inline constexpr std::size_t kMaxLevelStars = 500;

// The text a level that is no integer is replaced by.
inline constexpr std::string_view kNoLevel = "------";

// The scan's first read takes this many bytes; a header in them costs no further read.
inline constexpr std::size_t kFirstReadBytes = 4096;

// The header together with how many bytes of the chart were read to find it.
struct TBmsScan {
    TBmsHeader header;
    std::uint64_t bytesRead = 0;
};

// What the scan knows of the chart's path before it opens it.
enum class ChartCheck {
    LookUp,     // nothing: only a regular file is opened, anything else is a read failure
    KnownFile,  // the caller has just found a regular file there: it is opened without a look-up
};

// ReadBmsHeader that also reports the bytes it read; throws ReadFailure like it.
TBmsScan ScanBmsHeader(const std::filesystem::path& chart, ChartCheck check = ChartCheck::LookUp);

// Scans chart bytes already in memory exactly as a chart file holding them is scanned.
TBmsScan ScanBmsHeaderBytes(std::string_view chartBytes);

// The integer a level text stands for, or nothing when the text is no integer.
std::optional<std::int32_t> ConvertLevel(std::string_view levelText);

// Level drawn as "★" then, below 6, "☆" up to six places; cut to kMaxLevelStars stars.
std::string DrawLevelStars(std::int32_t level);

}  // namespace naming
