#pragma once

#include <optional>
#include <string>

namespace tamsel::sandbox {

// Text in a Windows code page ("CP437", "CP850", "CP866", "CP1252", ...), converted by the C
// library's iconv. The sandbox keeps text in UTF-8; these convert where Windows would read or
// write bytes in a code page.

// Whether the C library can convert the code page.
bool CodePageSupported(int codePage);

// The bytes of a UTF-8 text in a code page; nothing when a character has no form there.
std::optional<std::string> Utf8ToCodePage(int codePage, const std::string& utf8);

// Bytes of a code page read as text, in UTF-8. A byte the code page does not define becomes
// U+FFFD, as Windows maps it to a character of its own that matches no name.
std::string CodePageToUtf8(int codePage, const std::string& bytes);

}  // namespace tamsel::sandbox
