#include "platform/win32/ShortcutText.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "platform/RuntimeError.h"

namespace tamsel::win32 {

namespace {

constexpr std::uint16_t kShift = 0x0100;
constexpr std::uint16_t kControl = 0x0200;
constexpr std::uint16_t kAlt = 0x0400;
constexpr std::uint16_t kExtended = 0x0800;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The virtual-key code of a key name; 0 when the name is no key.
std::uint16_t VirtualKey(const std::string& name) {
    if (name.size() == 1) {
        const char c = name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<std::uint16_t>(c);
    }
    if (name.size() >= 2 && name[0] == 'F') {
        char* end = nullptr;
        const long n = std::strtol(name.c_str() + 1, &end, 10);
        if (*end == '\0' && n >= 1 && n <= 24) return static_cast<std::uint16_t>(0x70 + n - 1);
    }
    struct Named {
        const char* name;
        std::uint16_t key;
    };
    static constexpr Named kNamed[] = {
        {"BACK", 0x08},    {"TAB", 0x09},    {"RETURN", 0x0D}, {"ESCAPE", 0x1B}, {"SPACE", 0x20},
        {"PRIOR", 0x21},   {"NEXT", 0x22},   {"END", 0x23},    {"HOME", 0x24},   {"LEFT", 0x25},
        {"UP", 0x26},      {"RIGHT", 0x27},  {"DOWN", 0x28},   {"INSERT", 0x2D}, {"DELETE", 0x2E},
        {"NUMLOCK", 0x90}, {"SCROLL", 0x91},
    };
    for (const Named& entry : kNamed) {
        if (name == entry.name) return entry.key;
    }
    return 0;
}

}  // namespace

std::uint16_t ParseHotKey(const std::string& text) {
    const std::string upper = Upper(Trim(text));
    if (upper.empty()) return 0;
    std::uint16_t modifiers = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t plus = upper.find('+', start);
        if (plus == std::string::npos || plus == upper.size() - 1) break;
        const std::string part(Trim(std::string_view(upper).substr(start, plus - start)));
        if (part == "SHIFT") {
            modifiers |= kShift;
        } else if (part == "CTRL") {
            modifiers |= kControl;
        } else if (part == "ALT") {
            modifiers |= kAlt;
        } else if (part == "EXT") {
            modifiers |= kExtended;
        } else {
            throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
        }
        start = plus + 1;
    }
    const std::uint16_t key = VirtualKey(std::string(Trim(std::string_view(upper).substr(start))));
    if (key == 0) throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
    return static_cast<std::uint16_t>(modifiers | key);
}

IconLocation SplitIconLocation(const std::string& text) {
    const std::size_t comma = text.rfind(',');
    if (comma != std::string::npos) {
        const std::string number(Trim(std::string_view(text).substr(comma + 1)));
        char* end = nullptr;
        const long index = std::strtol(number.c_str(), &end, 10);
        if (!number.empty() && *end == '\0')
            return {text.substr(0, comma), static_cast<int>(index)};
    }
    return {text, 0};
}

}  // namespace tamsel::win32
