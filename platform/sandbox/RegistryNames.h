#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace tamsel::sandbox {

// Longest key name component and value name that Windows accepts.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// The name with ASCII letters in lower case: how the registry compares names.
std::string FoldCase(std::string_view name);

// Splits a key path at "\" into its components. One trailing "\" is allowed; an empty
// component elsewhere ("a\\b", "\a") or one longer than kMaxKeyNameLength gives
// reg::kInvalidParameter. An empty path has no components.
RegStatus SplitKeyPath(std::string_view path, std::vector<std::string>& parts);

// "HKEY_LOCAL_MACHINE" for reg::kLocalMachine, and so on; nullptr for anything else.
const char* RootName(RegKey root);
// The roots in the order an export writes them: HKCR, HKCU, HKLM, HKU.
const std::vector<RegKey>& RootsInOrder();
// A root by its full or short name (HKEY_LOCAL_MACHINE or HKLM), without regard to case.
std::optional<RegKey> RootByName(std::string_view name);

// A full key name "ROOT\path" (ROOT full or short) split into root and path.
struct FullKeyName {
    RegKey root = 0;
    std::string path;
};
std::optional<FullKeyName> ParseFullKeyName(std::string_view name);

}  // namespace tamsel::sandbox
