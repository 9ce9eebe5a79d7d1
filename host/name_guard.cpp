// The name guard: the last check before a composed name is used for a rename.
#include "host/name_guard.h"

#include "host/cp932.h"

namespace host {

namespace {

#ifdef _WIN32
constexpr std::wstring_view kSeparators = L"\\/:";
#else
constexpr std::string_view kSeparators = "/";
#endif

GuardedName Refuse(NameRefusal refusal) {
    return {std::nullopt, refusal};
}

}  // namespace

// The checks run from the whole name to its characters:
//  1. empty, "." and ".." look only at the whole name;
//  2. control bytes are looked for in the raw bytes, before any conversion: such a byte is never
//     part of a double-byte character, and a name from an LF-only chart (whose value runs across
//     LF and NUL bytes) is then refused for what it visibly holds rather than as broken text;
//  3. the conversion to a native name, which fails on any invalid byte sequence;
//  4. path separators in the converted name, where every character is a real one, so the second
//     byte of a double-byte character can never pass for a separator.
GuardedName GuardFolderName(std::string_view cp932Name) {
    if (cp932Name.empty()) {
        return Refuse(NameRefusal::Empty);
    }
    if (cp932Name == "." || cp932Name == "..") {
        return Refuse(NameRefusal::DotName);
    }
#ifdef _WIN32
    // Windows drops trailing dots and blanks from a path, so a name made only of them would
    // stand for the parent folder itself.
    if (cp932Name.find_first_not_of(". ") == std::string_view::npos) {
        return Refuse(NameRefusal::DotName);
    }
#endif
    for (const char byte : cp932Name) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x20 || value == 0x7F) {
            return Refuse(NameRefusal::ControlCharacter);
        }
    }
    auto native = Cp932ToNativeName(cp932Name);
    if (!native) {
        return Refuse(NameRefusal::InvalidEncoding);
    }
    if (native->native().find_first_of(kSeparators) != std::filesystem::path::string_type::npos) {
        return Refuse(NameRefusal::PathSeparator);
    }
    return {std::move(native), NameRefusal::None};
}

}  // namespace host
