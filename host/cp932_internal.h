// Helpers shared by the platform halves of the code page 932 conversions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host::detail {

// The code page 932 bytes as UTF-8; nullopt when they are no valid code page 932 text.
std::optional<std::string> DecodeCp932(std::string_view cp932);

// Bytes of the UTF-8 character that starts text, or of the broken piece of one (a lead byte and
// the continuation bytes that follow it), so that each such piece counts as one character.
std::size_t Utf8SequenceLength(std::string_view text);

}  // namespace host::detail
