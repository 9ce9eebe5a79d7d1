// Replaces the reserved characters of a folder name, pass by pass, first occurrences first.
#include "naming/reserved_chars.h"

#include <algorithm>

#include "naming/sjis.h"

namespace naming {

namespace {

constexpr std::size_t kNotFound = std::string::npos;

// The first single-byte reserved character at or after from, which lies on a character start;
// double-byte characters are stepped over whole, so their second bytes never match.
std::size_t FindSingleByte(const std::string& name, std::size_t from, char reserved) {
    std::size_t i = from;
    while (i < name.size()) {
        unsigned char byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte)) {
            i += 2;
        } else if (name[i] == reserved) {
            return i;
        } else {
            ++i;
        }
    }
    return kNotFound;
}

}  // namespace

std::string ReplaceCharAt(std::string_view text, std::string_view replacement,
                          std::size_t position) {
    std::string spliced;
    std::size_t before = position == 0 ? 0 : std::min(position - 1, text.size());
    spliced.reserve(before + replacement.size() + kMaxRemainderBytes);
    spliced.append(text.substr(0, before));
    spliced.append(replacement);
    if (position < text.size()) {
        spliced.append(text.substr(position, kMaxRemainderBytes));
    }
    return spliced;
}

// Each pass replaces, for each table entry in order, the first occurrence left, through the same
// splice as ReplaceCharAt (including its cut of the remainder), done in place. A replacement never
// brings in a reserved character, so the bytes before the last replaced occurrence of a character
// never hold it again: each entry remembers where its next search starts instead of searching the
// whole name on every pass.
std::string ReplaceReservedChars(std::string_view name) {
    std::string result(name);
    std::array<std::size_t, ReservedCharTable.size()> searchFrom{};
    std::array<bool, ReservedCharTable.size()> gone{};
    bool replaced = true;
    while (replaced) {
        replaced = false;
        for (std::size_t k = 0; k < ReservedCharTable.size(); ++k) {
            if (gone[k]) {
                continue;
            }
            const TReservedChar& entry = ReservedCharTable[k];
            std::size_t at = FindSingleByte(result, searchFrom[k], entry.reserved);
            if (at == kNotFound) {
                gone[k] = true;
                continue;
            }
            result.resize(std::min(result.size(), at + 1 + kMaxRemainderBytes));
            result.replace(at, 1, entry.replacement);
            const std::size_t grown = entry.replacement.size() - 1;
            for (std::size_t j = 0; j < searchFrom.size(); ++j) {
                if (searchFrom[j] > at) {
                    searchFrom[j] += grown;
                }
            }
            searchFrom[k] = at + entry.replacement.size();
            replaced = true;
        }
    }
    return result;
}

}  // namespace naming
