#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::sandbox {

// The shell item list of a path on a drive, as Explorer writes it into a shortcut: the
// My Computer root item, the volume item ("C:\"), then one file entry item per component
// (folders, and the target itself as a file or a folder), each with its 8.3 name and, in a
// version 3 extension block, its long name. Times are left unset. Returns the whole
// LinkTargetIDList structure, its size field included.
//
// windowsPath must be "X:\..." (throws RuntimeError 5 otherwise, and when an item or the list
// would not fit its 16-bit size).
std::vector<std::uint8_t> TargetIdList(const std::string& windowsPath, bool targetIsFolder,
                                       std::uint32_t targetSize);

// The 8.3 name of a long name: the name itself when it is a valid 8.3 name, else the first six
// usable characters in upper case, "~1" and up to three characters of the extension.
std::string ShortName(const std::string& longName);

}  // namespace tamsel::sandbox
