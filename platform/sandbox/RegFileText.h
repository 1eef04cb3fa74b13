#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::sandbox {

// Conversions between the sandbox's ANSI code page (UTF-8) and the UTF-16LE that registry
// files use for text data and for the whole file.
//
// Bytes that are not valid UTF-8 are carried as the lone surrogates U+DC80..U+DCFF (one per
// byte), so that any byte string survives the trip to UTF-16LE and back unchanged.

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// Whether a key name fits on the one line of a "[KEY]" header: a name with a line break does
// not, so the import refuses it and the export never has to write one.
bool FitsOnKeyLine(std::string_view keyName);

std::vector<std::uint8_t> AnsiToUtf16Le(std::string_view text);
// Nothing when the UTF-16LE bytes have an odd length or a lone surrogate that does not carry
// a byte.
std::optional<std::string> Utf16LeToAnsi(const std::uint8_t* data, std::size_t size);

}  // namespace tamsel::sandbox
