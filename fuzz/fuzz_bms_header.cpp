// Fuzzes the header scan: fed in any pieces, from memory or from a file, it must give what a plain
// whole-input reading of the line and level rules gives, within its size limits, and never crash.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "naming/bms_header.h"
#include "naming/bms_scanner.h"

namespace {

// The reference code below only checks results: its branches must not steer the fuzzer, and
// tracing its comparisons would slow every run many times over.
#define NOT_GUIDING __attribute__((no_sanitize("coverage")))

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

bool operator==(const naming::TBmsHeader& a, const naming::TBmsHeader& b) {
    return a.Artist == b.Artist && a.Genre == b.Genre && a.Title == b.Title && a.Level == b.Level &&
           a.LevelStars == b.LevelStars;
}

// The lines of the input, split as charts are: up to the first 0x1A, CR or CR LF ends a line.
NOT_GUIDING std::vector<std::string> SplitLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines.push_back(line);
            line.clear();
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += bytes[i];
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// The level rule read another way round: blanks, then a decimal or a $-hex number, then the end.
NOT_GUIDING std::optional<std::int64_t> PlainLevel(std::string text) {
    text = text.substr(0, text.find('\0'));
    text.erase(0, text.find_first_not_of(' ') == std::string::npos ? text.size()
                                                                   : text.find_first_not_of(' '));
    if (text.empty()) {
        return std::nullopt;
    }
    if (text[0] == '$') {
        std::string digits = text.substr(1);
        if (digits.empty() ||
            digits.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
            return std::nullopt;
        }
        digits.erase(0, digits.find_first_not_of('0') == std::string::npos
                            ? digits.size()
                            : digits.find_first_not_of('0'));
        if (digits.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t bits = 0;
        if (!digits.empty()) {
            std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
        }
        return bits >= 0x80000000u ? static_cast<std::int64_t>(bits) - 0x100000000 : bits;
    }
    const bool negative = text[0] == '-';
    std::string digits = text[0] == '+' || text[0] == '-' ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    digits.erase(0, digits.find_first_not_of('0') == std::string::npos
                        ? digits.size() - 1
                        : digits.find_first_not_of('0'));
    if (digits.size() > 10) {
        return std::nullopt;
    }
    std::int64_t value = std::stoll(digits);
    if (value > 2147483647) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// The stars of a level, the first 500 of them.
NOT_GUIDING std::string PlainStars(std::int64_t level) {
    std::string stars;
    for (std::int64_t i = 0; i < level && stars.size() < 1000; ++i) {
        stars += "\x81\x9A";
    }
    for (std::int64_t i = 0; i < 6 - level && stars.size() < 1000; ++i) {
        stars += "\x81\x99";
    }
    return stars;
}

// The scan as described, over the whole input at once.
NOT_GUIDING naming::TBmsHeader PlainScan(std::string_view bytes) {
    naming::TBmsHeader header;
    for (const std::string& line : SplitLines(bytes)) {
        std::string upper = line;
        for (char& c : upper) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 32);
            }
        }
        auto value = [&](std::size_t start) {
            return line.size() < start ? std::string() : line.substr(start - 1, 1000);
        };
        if (upper.rfind("#ARTIST", 0) == 0) {
            header.Artist = value(9);
        }
        if (upper.rfind("#GENRE", 0) == 0) {
            header.Genre = value(8);
        }
        if (upper.rfind("#TITLE", 0) == 0) {
            header.Title = value(8);
        }
        if (upper.rfind("#PLAYLEVEL", 0) == 0) {
            header.Level = value(12);
            if (std::optional<std::int64_t> level = PlainLevel(header.Level)) {
                header.LevelStars = PlainStars(*level);
            } else {
                header.Level = "------";
                header.LevelStars.clear();
            }
        }
        if (!header.Artist.empty() && !header.Genre.empty() && !header.Title.empty() &&
            !header.Level.empty()) {
            break;
        }
    }
    return header;
}

NOT_GUIDING std::uint64_t Fingerprint(std::string_view bytes) {
    std::uint64_t hash = 1469598103934665603u;
    for (char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }
    return hash;
}

const std::filesystem::path& ChartFile() {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("bfr-fuzz-chart-" + std::to_string(std::random_device()()) + ".bms");
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view chart(reinterpret_cast<const char*>(data), size);
    const naming::TBmsHeader expected = PlainScan(chart);

    naming::TBmsScan fromBytes = naming::ScanBmsHeaderBytes(chart);
    Check(fromBytes.header == expected);
    Check(fromBytes.bytesRead <= size);
    for (const std::string* value : {&expected.Artist, &expected.Genre, &expected.Title,
                                     &expected.Level, &expected.LevelStars}) {
        Check(value->size() <= 1000);
    }

    // Pieces of every size, cut where the input's fingerprint says: line ends and keywords
    // land on piece edges.
    const std::uint64_t fingerprint = Fingerprint(chart);
    std::mt19937_64 random(fingerprint);
    naming::THeaderScanner scanner;
    std::size_t offset = 0;
    while (offset < size) {
        std::size_t piece = std::min<std::size_t>(size - offset, 1 + random() % 16);
        bool more = scanner.Feed(chart.substr(offset, piece));
        Check(more == !scanner.Done());
        offset += piece;
        if (!more) {
            break;
        }
    }
    scanner.Finish();
    Check(scanner.Header() == expected);

    // The file path now and then: writing a file is slow next to the scan.
    if (fingerprint % 8 == 0) {
        {
            std::ofstream out(ChartFile(), std::ios::binary | std::ios::trunc);
            out.write(chart.data(), static_cast<std::streamsize>(size));
        }
        naming::TBmsScan fromFile = naming::ScanBmsHeader(ChartFile());
        Check(fromFile.header == expected);
        Check(fromFile.bytesRead == fromBytes.bytesRead);
        std::error_code ignored;
        std::filesystem::remove(ChartFile(), ignored);
    }
    return 0;
}
