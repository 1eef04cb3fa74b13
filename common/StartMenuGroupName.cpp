#include "common/StartMenuGroupName.h"

#include <algorithm>

namespace tamsel {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbiddenInName(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
           c == '*';
}

bool IsAcceptedLevel(const std::string& level) {
    if (level.empty()) return false;
    if (level.back() == ' ' || level.back() == '.') return false;
    return std::none_of(level.begin(), level.end(), IsForbiddenInName);
}

}  // namespace

bool IsAcceptedStartMenuGroup(const std::string& group) {
    if (group.empty()) return true;
    std::string level;
    for (char c : group) {
        if (!IsSeparator(c)) {
            level += c;
            continue;
        }
        if (!IsAcceptedLevel(level)) return false;
        level.clear();
    }
    // The last level: a trailing separator leaves it empty, which is refused.
    return IsAcceptedLevel(level);
}

std::string StartMenuGroupPath(const std::string& group) {
    std::string path = group;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace tamsel
