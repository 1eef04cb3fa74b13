#include "platform/sandbox/ShortNames.h"

#include <cctype>
#include <cstdint>
#include <string_view>

namespace tamsel::sandbox {

namespace {

// Characters a short name may hold besides letters and digits.
constexpr std::string_view kShortNamePunctuation = "!#$%&'()-@^_`{}~";

bool IsShortNameCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 &&
           (std::isalnum(byte) != 0 || kShortNamePunctuation.find(c) != std::string_view::npos);
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Up to `limit` characters of a part of a long name, upper case; "_" for each character a short
// name cannot hold (a UTF-8 sequence gives one "_"), blanks and dots dropped.
std::string ShortPart(std::string_view part, std::size_t limit) {
    std::string result;
    for (std::size_t i = 0; i < part.size() && result.size() < limit; ++i) {
        const auto byte = static_cast<unsigned char>(part[i]);
        if (part[i] == ' ' || part[i] == '.') continue;
        if ((byte & 0xC0) == 0x80) continue;  // the rest of a UTF-8 sequence
        result += IsShortNameCharacter(part[i]) ? Upper(part[i]) : '_';
    }
    return result;
}

// Three characters from a hash of the name in upper case (FNV-1a).
std::string HashText(const std::string& name) {
    static constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
    std::uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(Upper(c));
        hash *= 16777619u;
    }
    std::string text;
    for (int i = 0; i < 3; ++i) {
        text += kDigits[hash % 32];
        hash /= 32;
    }
    return text;
}

}  // namespace

bool IsShortName(const std::string& name) {
    const std::size_t dot = name.find('.');
    const std::string_view base = std::string_view(name).substr(0, dot);
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
    if (dot != std::string::npos && extension.empty()) return false;
    for (std::string_view part : {base, extension}) {
        for (char c : part) {
            if (!IsShortNameCharacter(c)) return false;
        }
    }
    return true;
}

std::string ShortName(const std::string& longName) {
    if (IsShortName(longName)) return longName;
    const std::size_t dot = longName.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    std::string base =
        ShortPart(std::string_view(longName).substr(0, hasExtension ? dot : longName.size()), 4);
    if (base.empty()) base = "_";
    std::string name = base + "~" + HashText(longName);
    if (hasExtension) {
        const std::string extension = ShortPart(std::string_view(longName).substr(dot + 1), 3);
        if (!extension.empty()) name += "." + extension;
    }
    return name;
}

}  // namespace tamsel::sandbox
