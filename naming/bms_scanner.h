// The line-by-line header scan behind ReadBmsHeader, fed with a chart's bytes piece by piece.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "naming/bms_header.h"

namespace naming {

// Collects the header from a chart's bytes as they arrive, keeping at most one line's usable
// prefix, so any input is scanned in constant memory whatever the length of its lines.
class THeaderScanner {
  public:
    // Takes the next bytes of the chart; false once no further byte can change the header.
    bool Feed(std::string_view bytes);

    // Marks the end of the input; a last line without a line end still counts.
    void Finish();

    // True once the scan has stopped: all four values known, or a 0x1A reached.
    bool Done() const { return done_; }

    const TBmsHeader& Header() const { return header_; }
    TBmsHeader TakeHeader() { return std::move(header_); }

  private:
    // Longest keyword, its separator and a full value: no byte past these can reach a field.
    static constexpr std::size_t kKeptLineBytes = 10 + 1 + kMaxValueBytes;

    void AppendToLine(std::string_view bytes);
    void EndLine(std::string_view line);

    TBmsHeader header_;
    std::array<char, kKeptLineBytes> line_;  // only the first lineBytes_ are ever read
    std::size_t lineBytes_ = 0;  // kept bytes of the unfinished line (all of them, up to the cap)
    bool afterCr_ = false;       // the previous piece ended with a CR: a leading LF is its line end
    bool done_ = false;
};

}  // namespace naming
