// Byte strings printed in hex, so that a failed comparison shows every byte.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

inline std::string Hex(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(byte));
        if (!text.empty()) {
            text += ' ';
        }
        text += digits;
    }
    return text;
}
