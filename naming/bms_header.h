// The header values of one BMS chart that folder names are made of.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

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

}  // namespace naming
