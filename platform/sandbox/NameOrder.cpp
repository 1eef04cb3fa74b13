#include "platform/sandbox/NameOrder.h"

#include <algorithm>

#include "platform/WindowsPath.h"

namespace tamsel::sandbox {

namespace {

// -1, 0 or 1 for a comparison in upper case.
int CompareUpper(std::string_view a, std::string_view b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        auto x = static_cast<unsigned char>(UpperCase(a[i]));
        auto y = static_cast<unsigned char>(UpperCase(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) { return CompareUpper(a, b) == 0; }

bool NameBefore(std::string_view a, std::string_view b) {
    int order = CompareUpper(a, b);
    return order != 0 ? order < 0 : a < b;
}

void SortNames(std::vector<std::string>& names) {
    // Each name's upper-case form is made once, not at every comparison; pairs compare by that
    // form, then by the exact bytes, which is NameBefore's order.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) {
        std::string key = name;
        for (char& c : key) c = UpperCase(c);
        keyed.emplace_back(std::move(key), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace tamsel::sandbox
