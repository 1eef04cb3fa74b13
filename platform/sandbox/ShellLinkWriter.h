#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::sandbox {

// What a shortcut file says, in the terms of the Shell Link binary format.
struct ShellLink {
    std::string targetPath;  // "X:\..." gets a shell item list and a local base path; other
                             // text (a bare program name) is kept as the relative path; "" none
    bool targetIsFolder = false;
    std::uint32_t targetSize = 0;
    std::uint32_t showCommand = 1;  // 1 normal, 3 maximised, 7 minimised
    std::uint16_t hotKey = 0;       // 0 none
    std::string iconLocation;       // the path alone; "" none
    std::int32_t iconIndex = 0;
    std::string description;       // "" none
    std::string workingDirectory;  // "" none
    std::uint32_t volumeSerial = 0;
    std::string volumeLabel;
};

// The bytes of a shortcut file: the header (times left unset), the target's shell item list,
// the link information (a fixed volume with its serial and label, and the target as local base
// path; the Unicode forms are added when a text is not plain ASCII), the strings in UTF-16 and
// the terminal block. Texts are UTF-8. Throws RuntimeError 5 when a text or the item list is
// too long for its 16-bit count.
std::vector<std::uint8_t> WriteShellLink(const ShellLink& link);

}  // namespace tamsel::sandbox
