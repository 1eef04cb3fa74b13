#pragma once

#include <string>

namespace tamsel::sandbox {

// UTF-8 (the sandbox's ANSI code page) to UTF-16. A byte that does not start a valid sequence
// becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);

}  // namespace tamsel::sandbox
