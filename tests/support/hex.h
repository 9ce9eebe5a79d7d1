// Byte strings printed in hex, so that a failed comparison shows every byte.
#pragma once

#include <string>
#include <string_view>

// The bytes as two-digit hex numbers separated by blanks, e.g. "41 81 9A".
inline std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!hex.empty()) {
            hex += ' ';
        }
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}
