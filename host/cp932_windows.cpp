// Code page 932 conversions on Windows, through the system's own code page 932 tables. Native
// names are UTF-16.
#include <windows.h>

#include <climits>

#include "host/cp932.h"
#include "host/cp932_internal.h"
#include "host/windows_text.h"

namespace host {

namespace {

constexpr UINT kCodePage = 932;

std::optional<std::wstring> DecodeCp932Wide(std::string_view cp932) {
    if (cp932.empty()) {
        return std::wstring();
    }
    if (cp932.size() > INT_MAX) {
        return std::nullopt;
    }
    const int length = static_cast<int>(cp932.size());
    const int wideLength =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, cp932.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, cp932.data(), length, wide.data(),
                        wideLength);
    return wide;
}

// The UTF-16 text in code page 932; usedDefault tells whether some character became "?".
// No best fit: a character the code page lacks must not turn into a look-alike such as "\".
std::string EncodeCp932(std::wstring_view wide, bool& usedDefault) {
    BOOL defaulted = FALSE;
    std::string bytes;
    if (!wide.empty() && wide.size() <= INT_MAX / 2) {
        const int wideLength = static_cast<int>(wide.size());
        bytes.resize(wide.size() * 2);
        const int length =
            WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                bytes.data(), static_cast<int>(bytes.size()), "?", &defaulted);
        bytes.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    }
    usedDefault = defaulted != FALSE;
    return bytes;
}

std::wstring Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wideLength);
    return wide;
}

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

namespace detail {

std::optional<std::string> DecodeCp932(std::string_view cp932) {
    auto wide = DecodeCp932Wide(cp932);
    if (!wide) {
        return std::nullopt;
    }
    return Utf16ToUtf8(*wide);
}

}  // namespace detail

std::optional<std::filesystem::path> Cp932ToNativeName(std::string_view cp932) {
    auto wide = DecodeCp932Wide(cp932);
    if (!wide) {
        return std::nullopt;
    }
    return std::filesystem::path(std::move(*wide));
}

std::string Utf8ToCp932(std::string_view utf8) {
    // Broken UTF-8 arrives here as U+FFFD, which code page 932 lacks: it becomes "?" as well.
    const std::wstring wide = Utf8ToUtf16(utf8);
    bool usedDefault = false;
    std::string bytes = EncodeCp932(wide, usedDefault);
    if (!usedDefault) {
        return bytes;
    }
    // Some characters were missing: convert one character at a time so that each of them,
    // a surrogate pair included, becomes exactly one "?".
    bytes.clear();
    std::size_t i = 0;
    while (i < wide.size()) {
        const std::size_t length =
            IsHighSurrogate(wide[i]) && i + 1 < wide.size() ? std::size_t{2} : std::size_t{1};
        bool missing = false;
        const std::string character =
            EncodeCp932(std::wstring_view(wide).substr(i, length), missing);
        bytes += missing || character.empty() ? std::string("?") : character;
        i += length;
    }
    return bytes;
}

int Cp932CharWidth(char32_t codePoint) {
    if (codePoint < 0x80) {
        return 1;
    }
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 2;
    }
    std::wstring wide;
    if (codePoint < 0x10000) {
        wide += static_cast<wchar_t>(codePoint);
    } else {
        const char32_t offset = codePoint - 0x10000;
        wide += static_cast<wchar_t>(0xD800 + (offset >> 10));
        wide += static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
    }
    bool missing = false;
    const std::string bytes = EncodeCp932(wide, missing);
    return !missing && bytes.size() == 1 ? 1 : 2;
}

}  // namespace host
