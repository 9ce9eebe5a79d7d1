// UTF-16 helpers of the Windows host.
#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

namespace host::detail {

// UTF-16 text as UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::wstring_view text);

// What the system says about a Win32 error code, as one UTF-8 line.
std::string SystemErrorText(unsigned long code);

}  // namespace host::detail

#endif
