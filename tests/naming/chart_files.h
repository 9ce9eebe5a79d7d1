// Test helpers for the core: repeated texts and level stars; the temporary folder and the hex
// printing are shared with the other layers' tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tests/support/hex.h"
#include "tests/support/temp_folder.h"

namespace naming_test {

using ::Hex;
using ::TempFolder;

// count copies of text.
inline std::string Repeat(std::string_view text, std::size_t count) {
    std::string repeated;
    repeated.reserve(text.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

inline const std::string kBlack = "\x81\x9A";  // ★
inline const std::string kWhite = "\x81\x99";  // ☆

// n black stars followed by m white ones.
inline std::string Stars(std::size_t black, std::size_t white) {
    return Repeat(kBlack, black) + Repeat(kWhite, white);
}

}  // namespace naming_test
