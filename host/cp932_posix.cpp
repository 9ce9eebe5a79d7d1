// Code page 932 conversions on POSIX hosts, through iconv. Native names are UTF-8.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "host/cp932.h"
#include "host/cp932_internal.h"

namespace host {

namespace {

// One iconv descriptor, opened once per thread: the batch converts a name for every entry and
// opening a descriptor costs more than the conversion itself.
class Converter {
  public:
    Converter(const char* to, const char* from) : descriptor_(Open(to, from)) {}
    ~Converter() { iconv_close(descriptor_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The descriptor in its initial shift state.
    iconv_t Reset() {
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        return descriptor_;
    }

  private:
    static iconv_t Open(const char* to, const char* from) {
        // "CP932" is Microsoft's table with the NEC and IBM extensions; some iconv builds only
        // know it as "WINDOWS-31J".
        const bool toCp932 = std::string_view(to) == "CP932";
        iconv_t descriptor = iconv_open(to, from);
        if (descriptor == reinterpret_cast<iconv_t>(-1)) {
            descriptor = toCp932 ? iconv_open("WINDOWS-31J", from) : iconv_open(to, "WINDOWS-31J");
        }
        if (descriptor == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("this system's iconv cannot convert code page 932 (CP932)");
        }
        return descriptor;
    }

    iconv_t descriptor_;
};

Converter& FromCp932() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& ToCp932() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

// Converts as much of *input as iconv takes, appending to output; returns false with errno set
// when it stopped at a character it could not convert.
bool ConvertInto(iconv_t descriptor, std::string_view& input, std::string& output) {
    while (!input.empty()) {
        const std::size_t used = output.size();
        output.resize(used + input.size() * 3 + 8);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output.data() + used;
        std::size_t outLeft = output.size() - used;
        const std::size_t result = iconv(descriptor, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        output.resize(output.size() - outLeft);
        input.remove_prefix(input.size() - inLeft);
        if (result == static_cast<std::size_t>(-1)) {
            if (error == E2BIG) {
                continue;
            }
            errno = error;
            return false;
        }
    }
    return true;
}

}  // namespace

namespace detail {

std::optional<std::string> DecodeCp932(std::string_view cp932) {
    std::string text;
    text.reserve(cp932.size() * 3);
    if (!ConvertInto(FromCp932().Reset(), cp932, text)) {
        return std::nullopt;
    }
    return text;
}

}  // namespace detail

std::optional<std::filesystem::path> Cp932ToNativeName(std::string_view cp932) {
    auto text = detail::DecodeCp932(cp932);
    if (!text) {
        return std::nullopt;
    }
    return std::filesystem::path(std::move(*text));
}

std::string Utf8ToCp932(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    iconv_t descriptor = ToCp932().Reset();
    while (!ConvertInto(descriptor, utf8, text)) {
        // A character code page 932 cannot spell, or a broken UTF-8 sequence: one "?" for it.
        text += '?';
        utf8.remove_prefix(detail::Utf8SequenceLength(utf8));
        descriptor = ToCp932().Reset();
    }
    return text;
}

int Cp932CharWidth(char32_t codePoint) {
    if (codePoint < 0x80) {
        return 1;
    }
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 2;
    }
    char utf8[4];
    std::size_t length = 0;
    if (codePoint < 0x800) {
        utf8[length++] = static_cast<char>(0xC0 | (codePoint >> 6));
    } else if (codePoint < 0x10000) {
        utf8[length++] = static_cast<char>(0xE0 | (codePoint >> 12));
        utf8[length++] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    } else {
        utf8[length++] = static_cast<char>(0xF0 | (codePoint >> 18));
        utf8[length++] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        utf8[length++] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    }
    utf8[length++] = static_cast<char>(0x80 | (codePoint & 0x3F));
    std::string_view input(utf8, length);
    std::string bytes;
    if (!ConvertInto(ToCp932().Reset(), input, bytes) || bytes.size() != 1) {
        return 2;
    }
    return 1;
}

}  // namespace host
