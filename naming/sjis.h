// Code page 932 (Shift_JIS) byte classes shared by the name and path code.
#pragma once

namespace naming {

// True for a byte that starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True for a byte that may follow a lead byte as the second byte of a double-byte character
// (0x40-0x7E, 0x80-0xFC).
constexpr bool IsTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

}  // namespace naming
