// Conversions between code page 932 bytes and the host's native texts, all in one place.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// A code page 932 name as a native path component; nullopt when the bytes are no valid
// code page 932 text (a lone lead byte, an unassigned code).
std::optional<std::filesystem::path> Cp932ToNativeName(std::string_view cp932);

// User text (UTF-8) as code page 932 bytes; a character code page 932 cannot spell becomes "?".
std::string Utf8ToCp932(std::string_view utf8);

// Code page 932 bytes as UTF-8 for display; invalid bytes show as U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// Bytes that one Unicode character takes in code page 932: 1 or 2; a character that code page
// 932 cannot spell counts as 2.
int Cp932CharWidth(char32_t codePoint);

}  // namespace host
