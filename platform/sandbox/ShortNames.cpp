#include "platform/sandbox/ShortNames.h"

#include <cctype>
#include <cstring>

#include "platform/sandbox/NameOrder.h"

namespace tamsel::sandbox {

namespace {

bool IsShortNameCharacter(char c) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80) {
        return true;
    }
    return std::strchr("!#$%&'()-@^_`{}~", c) != nullptr && c != '\0';
}

std::string ShortPart(const std::string& part, std::size_t limit) {
    std::string result;
    for (char c : part) {
        if (result.size() == limit) break;
        if (c == ' ' || c == '.') continue;
        if (static_cast<unsigned char>(c) >= 0x80 &&
            (static_cast<unsigned char>(c) & 0xC0) == 0x80) {
            continue;  // a UTF-8 continuation byte: its character was replaced already
        }
        char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        result += IsShortNameCharacter(upper) ? upper : '_';
    }
    return result;
}

// A short name's parts: the base before "~N" and the extension after it.
struct ShortForm {
    std::string base;
    std::string extension;
};

ShortForm FormOf(const std::string& longName) {
    const std::size_t dot = longName.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot != 0;
    return {ShortPart(hasExtension ? longName.substr(0, dot) : longName, 6),
            hasExtension ? ShortPart(longName.substr(dot + 1), 3) : ""};
}

std::string Numbered(const ShortForm& form, std::size_t number) {
    const std::string tail = "~" + std::to_string(number);
    std::string result = form.base.substr(0, 8 - tail.size()) + tail;
    if (!form.extension.empty()) result += "." + form.extension;
    return result;
}

}  // namespace

bool IsValidShortName(const std::string& name) {
    std::size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
    if (dot != std::string::npos && extension.empty()) return false;
    for (char c : base + extension) {
        if (!IsShortNameCharacter(c)) return false;
    }
    return true;
}

std::string ShortName(const std::string& longName) {
    if (IsValidShortName(longName)) return longName;
    return Numbered(FormOf(longName), 1);
}

std::string ShortNameAmong(const std::string& name, const std::vector<std::string>& entries) {
    if (IsValidShortName(name)) return name;
    const ShortForm form = FormOf(name);
    std::size_t number = 1;
    for (const std::string& other : entries) {
        if (other == name || IsValidShortName(other) || !NameBefore(other, name)) continue;
        const ShortForm otherForm = FormOf(other);
        if (SameName(otherForm.base, form.base) && SameName(otherForm.extension, form.extension)) {
            ++number;
        }
    }
    return Numbered(form, number);
}

}  // namespace tamsel::sandbox
