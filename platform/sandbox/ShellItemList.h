#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sandbox/ShortNames.h"

namespace tamsel::sandbox {

// The shell item list of a path on a drive, as Explorer writes it into a shortcut: the
// My Computer root item, the volume item ("C:\"), then one file entry item per component
// (folders, and the target itself as a file or a folder), each with its 8.3 name and, in a
// version 3 extension block, its long name. Times are left unset. Returns the whole
// LinkTargetIDList structure, its size field included.
//
// windowsPath must be "X:\..." (the caller checks it). Throws RuntimeError 5 when an item or
// the list would not fit its 16-bit size.
std::vector<std::uint8_t> TargetIdList(const std::string& windowsPath, bool targetIsFolder,
                                       std::uint32_t targetSize);

}  // namespace tamsel::sandbox
