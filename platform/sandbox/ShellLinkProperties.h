#pragma once

#include <cstdint>
#include <string>

namespace tamsel::sandbox {

// How the shell object's texts become the fields of a shortcut file.

// "CTRL+SHIFT+F", "Alt+F5", "" (none): modifiers in the high byte (1 Shift, 2 Ctrl, 4 Alt),
// the virtual key in the low byte. Modifiers and key names are read without regard to case;
// blanks around "+" are allowed. Throws RuntimeError 5 for a text it cannot read.
std::uint16_t ParseHotKey(const std::string& text);

// "path,index" gives the path and the index; text without a numeric part after its last
// comma is a path alone, with index 0 ("C:\a,b\x.exe" stays whole).
struct IconLocation {
    std::string path;
    std::int32_t index = 0;
};
IconLocation ParseIconLocation(const std::string& text);

}  // namespace tamsel::sandbox
