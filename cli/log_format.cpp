#include "cli/log_format.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace cli {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

#ifdef _WIN32
// Code points as UTF-8, unpaired surrogates included (they take the three bytes their code
// point would).
void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
#endif

}  // namespace

std::string EscapeField(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (IsControl(byte)) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (IsControl(static_cast<unsigned char>(c)))
            return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'x': {
                if (i + 2 >= field.size())
                    return std::nullopt;
                const int high = HexValue(field[i + 1]);
                const int low = HexValue(field[i + 2]);
                if (high < 0 || low < 0)
                    return std::nullopt;
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string FormatLine(const LogLine& line) {
    std::string out = EscapeField(line.outcome);
    for (const std::string* field : {&line.chart, &line.folder, &line.target, &line.reason}) {
        out += '\t';
        out += EscapeField(*field);
    }
    return out;
}

std::optional<LogLine> ParseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::array<std::string, 5> fields;
    std::size_t start = 0;
    for (std::size_t n = 0; n < fields.size(); ++n) {
        const std::size_t tab = line.find('\t', start);
        const bool last = n + 1 == fields.size();
        if (last != (tab == std::string_view::npos))
            return std::nullopt;
        const std::size_t end = last ? line.size() : tab;
        auto field = UnescapeField(line.substr(start, end - start));
        if (!field)
            return std::nullopt;
        fields[n] = std::move(*field);
        start = end + 1;
    }
    return LogLine{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                   std::move(fields[3]), std::move(fields[4])};
}

#ifdef _WIN32

std::string PathBytes(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t cp = static_cast<char16_t>(wide[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
            const std::uint32_t low = static_cast<char16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::optional<std::filesystem::path> PathFromBytes(std::string_view bytes) {
    std::wstring wide;
    wide.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        std::uint32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > bytes.size())
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (next & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[length] || cp > 0x10FFFF)
            return std::nullopt;
        if (cp >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(cp);
        }
        i += length;
    }
    return std::filesystem::path(std::move(wide));
}

#else

std::string PathBytes(const std::filesystem::path& path) {
    return path.native();
}

std::optional<std::filesystem::path> PathFromBytes(std::string_view bytes) {
    return std::filesystem::path(std::string(bytes));
}

#endif

}  // namespace cli
