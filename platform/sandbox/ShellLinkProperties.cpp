#include "platform/sandbox/ShellLinkProperties.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "platform/RuntimeError.h"

namespace tamsel::sandbox {

namespace {

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct NamedKey {
    const char* name;
    std::uint8_t code;
};

// Virtual-key codes of the named keys a hot key may use.
constexpr NamedKey kNamedKeys[] = {
    {"BACK", 0x08},   {"BACKSPACE", 0x08}, {"TAB", 0x09},      {"RETURN", 0x0D}, {"ENTER", 0x0D},
    {"PAUSE", 0x13},  {"ESCAPE", 0x1B},    {"ESC", 0x1B},      {"SPACE", 0x20},  {"PRIOR", 0x21},
    {"PAGEUP", 0x21}, {"NEXT", 0x22},      {"PAGEDOWN", 0x22}, {"END", 0x23},    {"HOME", 0x24},
    {"LEFT", 0x25},   {"UP", 0x26},        {"RIGHT", 0x27},    {"DOWN", 0x28},   {"INSERT", 0x2D},
    {"DELETE", 0x2E}, {"NUMLOCK", 0x90},   {"SCROLL", 0x91},
};

std::uint8_t KeyCode(const std::string& key) {
    if (key.size() == 1) {
        char c = key[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<std::uint8_t>(c);
    }
    if (key.size() >= 2 && key[0] == 'F') {
        int number = 0;
        auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), number);
        if (error == std::errc() && end == key.data() + key.size() && number >= 1 && number <= 24) {
            return static_cast<std::uint8_t>(0x70 + number - 1);
        }
    }
    for (const auto& named : kNamedKeys) {
        if (key == named.name) return named.code;
    }
    throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
}

}  // namespace

std::uint16_t ParseHotKey(const std::string& text) {
    std::string whole = Trimmed(text);
    if (whole.empty()) return 0;

    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t plus = whole.find('+', start);
        // A "+" at the very end is the key itself ("CTRL++" is not a key we know, so refuse).
        parts.push_back(Upper(Trimmed(whole.substr(start, plus - start))));
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    std::uint8_t modifiers = 0;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        std::uint8_t bit = parts[i] == "SHIFT"                           ? 0x01
                           : parts[i] == "CTRL" || parts[i] == "CONTROL" ? 0x02
                           : parts[i] == "ALT"                           ? 0x04
                           : parts[i] == "EXT"                           ? 0x08
                                                                         : 0;
        if (bit == 0 || (modifiers & bit) != 0) {
            throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
        }
        modifiers |= bit;
    }
    std::uint8_t key = KeyCode(parts.back());
    return static_cast<std::uint16_t>((modifiers << 8) | key);
}

IconLocation ParseIconLocation(const std::string& text) {
    std::size_t comma = text.rfind(',');
    if (comma != std::string::npos) {
        std::string number = Trimmed(text.substr(comma + 1));
        std::int32_t index = 0;
        auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), index);
        if (!number.empty() && error == std::errc() && end == number.data() + number.size()) {
            return {text.substr(0, comma), index};
        }
    }
    return {text, 0};
}

}  // namespace tamsel::sandbox
