#pragma once

#include <cstdint>
#include <string>

namespace tamsel::win32 {

// The texts of a shell object's shortcut properties, in the form a shell link stores them.

// "CTRL+SHIFT+F", "Alt+F5", ...: the hot-key word of a shell link (low byte the virtual key,
// high byte the modifiers: 1 Shift, 2 Ctrl, 4 Alt, 8 extended). The empty text is 0, no hot
// key. Throws RuntimeError 5 for a text that names no key.
std::uint16_t ParseHotKey(const std::string& text);

// "C:\dir\app.exe,2" is the file and icon index 2; a text without a ",number" ending is the
// file alone, index 0.
struct IconLocation {
    std::string path;
    int index = 0;
};
IconLocation SplitIconLocation(const std::string& text);

}  // namespace tamsel::win32
