// The last check between a composed name and a rename: a chart must never move a folder
// anywhere but beside itself.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace host {

enum class NameRefusal {
    None,
    Empty,             // ""
    DotName,           // "." or ".."
    InvalidEncoding,   // no valid code page 932 text (lone lead byte, lead byte before "/", ...)
    PathSeparator,     // "/" (and on Windows "\" and ":") outside double-byte characters
    ControlCharacter,  // NUL, 0x01-0x1F or 0x7F
};

struct GuardedName {
    std::optional<std::filesystem::path> native;  // set exactly when refusal is None
    NameRefusal refusal = NameRefusal::None;
};

// Checks a composed code page 932 name and gives its native form when it is safe to use.
GuardedName GuardFolderName(std::string_view cp932Name);

}  // namespace host
