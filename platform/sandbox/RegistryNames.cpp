#include "platform/sandbox/RegistryNames.h"

#include <array>

namespace tamsel::sandbox {

namespace {

struct RootNames {
    RegKey root;
    const char* full;
    const char* shortName;
};

constexpr std::array<RootNames, 4> kRoots{{
    {reg::kClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {reg::kCurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {reg::kLocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {reg::kUsers, "HKEY_USERS", "HKU"},
}};

}  // namespace

std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

RegStatus SplitKeyPath(std::string_view path, std::vector<std::string>& parts) {
    parts.clear();
    if (path.empty()) return reg::kSuccess;
    if (path.back() == '\\') path.remove_suffix(1);
    std::size_t start = 0;
    while (true) {
        std::size_t end = path.find('\\', start);
        std::string_view part =
            path.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty() || part.size() > kMaxKeyNameLength) {
            parts.clear();
            return reg::kInvalidParameter;
        }
        parts.emplace_back(part);
        if (end == std::string_view::npos) return reg::kSuccess;
        start = end + 1;
    }
}

const char* RootName(RegKey root) {
    for (const auto& names : kRoots) {
        if (names.root == root) return names.full;
    }
    return nullptr;
}

const std::vector<RegKey>& RootsInOrder() {
    static const std::vector<RegKey> roots{reg::kClassesRoot, reg::kCurrentUser, reg::kLocalMachine,
                                           reg::kUsers};
    return roots;
}

std::optional<RegKey> RootByName(std::string_view name) {
    std::string folded = FoldCase(name);
    for (const auto& names : kRoots) {
        if (folded == FoldCase(names.full) || folded == FoldCase(names.shortName)) {
            return names.root;
        }
    }
    return std::nullopt;
}

std::optional<FullKeyName> ParseFullKeyName(std::string_view name) {
    std::size_t separator = name.find('\\');
    auto root = RootByName(name.substr(0, separator));
    if (!root) return std::nullopt;
    FullKeyName result;
    result.root = *root;
    if (separator != std::string_view::npos) result.path = std::string(name.substr(separator + 1));
    return result;
}

}  // namespace tamsel::sandbox
