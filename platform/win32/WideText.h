#pragma once

#include <string>
#include <string_view>

namespace tamsel::win32 {

// Text inside the programs is UTF-8; Windows takes text as UTF-16 through its "W" functions
// and COM. These convert at that boundary, both ways without loss: every character, those
// outside the Basic Multilingual Plane included, comes back as it went. Embedded NULs are kept.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// A NUL-terminated UTF-16 text that Windows filled in (a fixed buffer), as UTF-8.
std::string WideToUtf8(const wchar_t* terminated);

}  // namespace tamsel::win32
