// Reads the four header values of a BMS chart and draws its level as stars.
#include "naming/bms_header.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>
#include <vector>

#include "naming/bms_scanner.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace naming {

namespace {

constexpr char kCr = '\x0D';
constexpr char kLf = '\x0A';
constexpr char kEndOfInput = '\x1A';

constexpr std::string_view kBlackStar = "\x81\x9A";  // ★
constexpr std::string_view kWhiteStar = "\x81\x99";  // ☆

// Most charts have their header in the first few hundred bytes: the first read stays as small
// as a single page so that such a chart costs one page of copying, later reads are larger so a
// chart without a header (or with one long line) is crossed in few calls.
constexpr std::size_t kFirstBlockBytes = kFirstReadBytes;
constexpr std::size_t kNextBlockBytes = 64 * 1024;

struct TKeyword {
    std::string_view word;
    std::string TBmsHeader::*field;
};

constexpr std::array<TKeyword, 4> kKeywords{{
    {"#ARTIST", &TBmsHeader::Artist},
    {"#GENRE", &TBmsHeader::Genre},
    {"#TITLE", &TBmsHeader::Title},
    {"#PLAYLEVEL", &TBmsHeader::Level},
}};

// True when line begins with keyword, only a-z folded to upper case.
bool StartsWithKeyword(std::string_view line, std::string_view keyword) {
    if (line.size() < keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != keyword[i]) {
            return false;
        }
    }
    return true;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Opens the chart for reading by its native name, so names code page 932 cannot spell still open.
std::FILE* OpenChart(const std::filesystem::path& chart) {
#ifdef _WIN32
    // Other programs may read the chart meanwhile but not write it.
    return _wfsopen(chart.c_str(), L"rb", _SH_DENYWR);
#else
    return std::fopen(chart.c_str(), "rb");
#endif
}

}  // namespace

bool THeaderScanner::Feed(std::string_view bytes) {
    if (done_ || bytes.empty()) {
        return !done_;
    }
    const char* next = bytes.data();
    const char* end = next + bytes.size();
    const char* stop = static_cast<const char*>(std::memchr(next, kEndOfInput, bytes.size()));
    if (stop != nullptr) {
        end = stop;
    }
    if (afterCr_ && next != end) {
        afterCr_ = false;
        if (*next == kLf) {
            ++next;
        }
    }
    while (next != end) {
        const char* cr =
            static_cast<const char*>(std::memchr(next, kCr, static_cast<std::size_t>(end - next)));
        if (cr == nullptr) {
            AppendToLine({next, static_cast<std::size_t>(end - next)});
            break;
        }
        std::string_view piece(next, static_cast<std::size_t>(cr - next));
        if (lineBytes_ == 0) {
            EndLine(piece);
        } else {
            AppendToLine(piece);
            EndLine({line_.data(), lineBytes_});
            lineBytes_ = 0;
        }
        if (done_) {
            return false;
        }
        next = cr + 1;
        if (next == end) {
            afterCr_ = true;
        } else if (*next == kLf) {
            ++next;
        }
    }
    if (stop != nullptr) {
        Finish();
        done_ = true;
    }
    return !done_;
}

void THeaderScanner::Finish() {
    if (!done_ && lineBytes_ != 0) {
        EndLine({line_.data(), lineBytes_});
        lineBytes_ = 0;
    }
}

void THeaderScanner::AppendToLine(std::string_view bytes) {
    std::size_t room = kKeptLineBytes - lineBytes_;
    std::size_t count = std::min(room, bytes.size());
    std::memcpy(line_.data() + lineBytes_, bytes.data(), count);
    lineBytes_ += count;
}

void THeaderScanner::EndLine(std::string_view line) {
    for (const TKeyword& keyword : kKeywords) {
        if (!StartsWithKeyword(line, keyword.word)) {
            continue;
        }
        // The one byte after the keyword is its separator, whatever it is.
        std::size_t start = keyword.word.size() + 1;
        std::string& field = header_.*keyword.field;
        if (line.size() > start) {
            field.assign(line.substr(start, kMaxValueBytes));
        } else {
            field.clear();
        }
        if (keyword.field == &TBmsHeader::Level) {
            if (std::optional<std::int32_t> level = ConvertLevel(field)) {
                header_.LevelStars = DrawLevelStars(*level);
            } else {
                field.assign(kNoLevel);
                header_.LevelStars.clear();
            }
        }
    }
    if (!header_.Artist.empty() && !header_.Genre.empty() && !header_.Title.empty() &&
        !header_.Level.empty()) {
        done_ = true;
    }
}

std::optional<std::int32_t> ConvertLevel(std::string_view levelText) {
    std::string_view text = levelText.substr(0, levelText.find('\0'));
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) {
        return std::nullopt;
    }
    if (text[i] == '$') {
        ++i;
        if (i == text.size()) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        int significant = 0;
        for (; i < text.size(); ++i) {
            int digit = HexDigitValue(text[i]);
            if (digit < 0) {
                return std::nullopt;
            }
            if (value == 0 && digit == 0) {
                continue;
            }
            if (++significant > 8) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        // The 32 bits are a two's complement number: $FFFFFFFF is -1.
        return static_cast<std::int32_t>(value);
    }
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') {
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > 2147483647) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string DrawLevelStars(std::int32_t level) {
    const std::int64_t cap = static_cast<std::int64_t>(kMaxLevelStars);
    const std::int64_t n = level;
    const std::int64_t black = std::clamp<std::int64_t>(n, 0, cap);
    const std::int64_t white = n < 6 ? std::min(6 - n, cap - black) : 0;
    std::string stars;
    stars.reserve(static_cast<std::size_t>(black + white) * kBlackStar.size());
    for (std::int64_t i = 0; i < black; ++i) {
        stars.append(kBlackStar);
    }
    for (std::int64_t i = 0; i < white; ++i) {
        stars.append(kWhiteStar);
    }
    return stars;
}

TBmsScan ScanBmsHeaderBytes(std::string_view chartBytes) {
    THeaderScanner scanner;
    std::size_t used = chartBytes.size();
    // Fed in the blocks a file of these bytes is read in, so the count matches a file's.
    std::size_t offset = 0;
    std::size_t block = kFirstBlockBytes;
    while (offset < chartBytes.size()) {
        std::string_view piece = chartBytes.substr(offset, block);
        offset += piece.size();
        if (!scanner.Feed(piece)) {
            used = offset;
            break;
        }
        block = kNextBlockBytes;
    }
    scanner.Finish();
    return {scanner.TakeHeader(), used};
}

TBmsScan ScanBmsHeader(const std::filesystem::path& chart, ChartCheck check) {
    // Only a regular file is opened: a FIFO would block the open for good and a device such as
    // /dev/zero would never end. The same look-up gives the chart's length (file_size fails for
    // anything but a regular file), so a chart shorter than a block costs a single read. A
    // caller that has just made that look-up itself spares the second one; the chart is then
    // read to its end, whatever its length.
    std::uintmax_t size = std::numeric_limits<std::uintmax_t>::max();
    if (check == ChartCheck::LookUp) {
        std::error_code error;
        size = std::filesystem::file_size(chart, error);
        if (error) {
            throw ReadFailure("the chart is no readable file");
        }
    }
    std::unique_ptr<std::FILE, FileCloser> file(OpenChart(chart));
    if (!file) {
        throw ReadFailure("the chart cannot be opened");
    }
    // Reads go straight into our own blocks: no second buffer, no copy.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

    THeaderScanner scanner;
    std::uint64_t bytesRead = 0;
    std::array<char, kFirstBlockBytes> firstBlock;
    std::vector<char> nextBlock;
    char* block = firstBlock.data();
    std::size_t blockBytes = firstBlock.size();
    // A chart that was looked up is read as long as it was then; bytes another program appends
    // meanwhile are not waited for.
    while (bytesRead < size) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uintmax_t>(blockBytes, size - bytesRead));
        const std::size_t got = std::fread(block, 1, wanted, file.get());
        bytesRead += got;
        if (got != 0 && !scanner.Feed({block, got})) {
            break;
        }
        if (got < wanted) {
            if (std::ferror(file.get()) != 0) {
                throw ReadFailure("the chart cannot be read");
            }
            break;
        }
        if (nextBlock.empty()) {
            nextBlock.resize(kNextBlockBytes);
            block = nextBlock.data();
            blockBytes = nextBlock.size();
        }
    }
    scanner.Finish();
    return {scanner.TakeHeader(), bytesRead};
}

TBmsHeader ReadBmsHeader(const std::filesystem::path& chart) {
    return ScanBmsHeader(chart).header;
}

}  // namespace naming
