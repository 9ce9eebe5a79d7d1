// Replaces the characters a folder name cannot hold by look-alike substitutes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace naming {

// The name with every reserved single-byte character replaced; double-byte characters stay whole.
std::string ReplaceReservedChars(std::string_view name);

// position is the 1-based byte position of the character replaced
std::string ReplaceCharAt(std::string_view text, std::string_view replacement, std::size_t position);

}  // namespace naming
