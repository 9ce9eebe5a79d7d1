// The platform-independent half of the code page 932 conversions.
#include "host/cp932.h"

#include "host/cp932_internal.h"
#include "naming/sjis.h"

namespace host {

namespace detail {

std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    std::size_t taken = 1;
    while (taken < length && taken < text.size()) {
        const auto byte = static_cast<unsigned char>(text[taken]);
        if (byte < 0x80 || byte > 0xBF) {
            break;
        }
        ++taken;
    }
    return taken;
}

}  // namespace detail

std::string Cp932ToUtf8(std::string_view cp932) {
    if (auto whole = detail::DecodeCp932(cp932)) {
        return std::move(*whole);
    }
    // Some bytes are broken: convert character by character. A lead byte whose follower cannot
    // be a second byte stands alone, so the follower (often an ASCII character) still shows.
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string text;
    text.reserve(cp932.size() * 3);
    std::size_t i = 0;
    while (i < cp932.size()) {
        std::size_t length = 1;
        if (naming::IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() &&
            naming::IsTrailByte(static_cast<unsigned char>(cp932[i + 1]))) {
            length = 2;
        }
        if (auto character = detail::DecodeCp932(cp932.substr(i, length))) {
            text += *character;
        } else {
            text += kReplacement;
        }
        i += length;
    }
    return text;
}

}  // namespace host
