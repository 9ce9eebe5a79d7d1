// Fuzzes the reserved-character substitution: the result must hold no reserved single-byte
// character and must equal the plain pass-by-pass algorithm it is a faster form of.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "naming/reserved_chars.h"
#include "naming/sjis.h"

namespace {

// The reference code below only checks results: its branches must not steer the fuzzer, and
// tracing its comparisons would slow every run many times over.
#define NOT_GUIDING __attribute__((no_sanitize("coverage")))

NOT_GUIDING bool IsReserved(unsigned char byte) {
    for (const naming::TReservedChar& entry : naming::ReservedCharTable) {
        if (static_cast<unsigned char>(entry.reserved) == byte) {
            return true;
        }
    }
    return false;
}

// Bytes 1 to position-1, the replacement, then at most 1000 bytes after the position.
NOT_GUIDING std::string Splice(const std::string& text, std::string_view replacement,
                               std::size_t position) {
    std::string spliced = text.substr(0, position - 1);
    spliced += replacement;
    if (position < text.size()) {
        spliced += text.substr(position, 1000);
    }
    return spliced;
}

// 1-based position of the first single-byte character equal to reserved, or 0.
NOT_GUIDING std::size_t FirstSingleByte(const std::string& name, char reserved) {
    std::size_t i = 0;
    while (i < name.size()) {
        if (naming::IsLeadByte(static_cast<unsigned char>(name[i]))) {
            i += 2;
            continue;
        }
        if (name[i] == reserved) {
            return i + 1;
        }
        ++i;
    }
    return 0;
}

// The substitution exactly as described: passes over the table until one replaces nothing,
// each entry replacing only its first occurrence, searched from the start of the name.
NOT_GUIDING std::string PlainReplace(std::string name) {
    bool replaced = true;
    while (replaced) {
        replaced = false;
        for (const naming::TReservedChar& entry : naming::ReservedCharTable) {
            if (std::size_t position = FirstSingleByte(name, entry.reserved)) {
                name = Splice(name, entry.replacement, position);
                replaced = true;
            }
        }
    }
    return name;
}

// Every reserved byte replaced where it stands, double-byte characters left whole.
NOT_GUIDING std::string ReplaceInPlace(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(name[i]);
        if (naming::IsLeadByte(byte)) {
            out += name[i];
            if (i + 1 < name.size()) {
                out += name[++i];
            }
            continue;
        }
        bool found = false;
        for (const naming::TReservedChar& entry : naming::ReservedCharTable) {
            if (entry.reserved == name[i]) {
                out += entry.replacement;
                found = true;
            }
        }
        if (!found) {
            out += name[i];
        }
    }
    return out;
}

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string result = naming::ReplaceReservedChars(input);

    // No reserved byte outside a double-byte character; a lead byte at the very end has no
    // second byte and pairs with nothing.
    for (std::size_t i = 0; i < result.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(result[i]);
        if (naming::IsLeadByte(byte)) {
            ++i;
        } else {
            Check(!IsReserved(byte));
        }
    }

    Check(result == PlainReplace(input));

    // Short names never reach the remainder cut: the result is every character replaced in place.
    if (input.size() <= 500) {
        Check(result == ReplaceInPlace(input));
    }

    // The splice itself, at a position the input picks.
    if (!input.empty()) {
        std::size_t position = 1 + static_cast<unsigned char>(input[0]) * 16 % input.size();
        Check(naming::ReplaceCharAt(input, "\x81\x5E", position) ==
              Splice(input, "\x81\x5E", position));
    }
    return 0;
}
