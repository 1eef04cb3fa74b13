#include "platform/WindowsPath.h"

#include <algorithm>

namespace tamsel {

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string LowerCase(std::string text) {
    for (char& c : text) c = LowerCase(c);
    return text;
}

std::string UpperCase(std::string text) {
    for (char& c : text) c = UpperCase(c);
    return text;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbiddenInName(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
           c == '*';
}

bool StartsWithDrive(std::string_view path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsDriveAbsolute(std::string_view path, bool slashSeparates) {
    return path.size() >= 3 && StartsWithDrive(path) &&
           (path[2] == '\\' || (slashSeparates && path[2] == '/'));
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 3 && IsSeparator(path.back())) path.pop_back();
    return path;
}

}  // namespace tamsel
