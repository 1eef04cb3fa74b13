#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tamsel::sandbox {

// File names as Windows compares them: without regard to case. Only ASCII letters are folded;
// other bytes (UTF-8 sequences) compare as they are.
bool SameName(std::string_view a, std::string_view b);

// The order in which NTFS lists a folder: names compared in upper case. Names that differ only
// in case (possible on the host, not on Windows) follow in byte order, so the order is total.
bool NameBefore(std::string_view a, std::string_view b);

void SortNames(std::vector<std::string>& names);

}  // namespace tamsel::sandbox
