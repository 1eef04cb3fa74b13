#include "common/StartMenuGroupName.h"

#include <algorithm>

#include "platform/WindowsPath.h"

namespace tamsel {

namespace {

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
