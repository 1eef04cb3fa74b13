#pragma once

#include <string>
#include <string_view>

namespace tamsel::script {

// A JSON string: the text in quotes, with '"', '\' and the control characters escaped (the
// short escapes where JSON has one, "\u00XX" for the rest) and every other character as it is.
// Texts come from the machine (file names, registry data) and need not be valid UTF-8: each
// ill-formed part (an invalid byte, or the longest start of a sequence that cannot go on) is
// replaced by U+FFFD rather than losing the text. The same text as nlohmann::json's dump with
// error_handler_t::replace, without the rest of the library's serializer (numbers, printf),
// which the Windows programs, whose size is limited, do not need.
std::string JsonString(std::string_view text);

}  // namespace tamsel::script
