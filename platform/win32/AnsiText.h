#pragma once

#include <string>
#include <string_view>

namespace tamsel::win32 {

// Text inside the programs is UTF-8. The "A" functions of Windows take the ANSI code page
// (CP_ACP) and COM takes UTF-16; these convert at that boundary. Embedded NULs are kept.
// Characters the ANSI code page cannot represent become the code page's default character.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::string Utf8ToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

// Whether every byte is 7-bit ASCII, which reads the same in UTF-8 and in any ANSI code page.
bool IsAscii(std::string_view bytes);

}  // namespace tamsel::win32
