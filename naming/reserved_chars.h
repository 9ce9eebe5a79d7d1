// Replaces the characters a folder name cannot hold by look-alike substitutes.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace naming {

// One reserved single-byte character and the code page 932 text that stands in for it.
struct TReservedChar {
    char reserved;
    std::string_view replacement;
};

// The reserved characters in the order each substitution pass visits them.
inline constexpr std::array<TReservedChar, 11> ReservedCharTable{{
    {'"', "''"},
    {'\\', "\x81\x8F"},  // ￥
    {'/', "\x81\x5E"},   // ／
    {':', "\x81\x46"},   // ：
    {';', "\x81\x47"},   // ；
    {',', "."},
    {'*', "-"},
    {'?', "\x81\x48"},  // ？
    {'<', "\x81\x83"},  // ＜
    {'>', "\x81\x84"},  // ＞
    {'|', "\x81\x62"},  // ｜
}};

// ReplaceCharAt keeps at most this many bytes after the character it replaces.
inline constexpr std::size_t kMaxRemainderBytes = 1000;

// The name with every reserved single-byte character replaced; double-byte characters stay whole.
std::string ReplaceReservedChars(std::string_view name);

// position is the 1-based byte position of the character replaced
std::string ReplaceCharAt(std::string_view text, std::string_view replacement,
                          std::size_t position);

}  // namespace naming
