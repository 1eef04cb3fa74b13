#pragma once

#include <filesystem>
#include <string>

namespace tamsel::test {

// Everything a program can leave on a sandbox machine, as text that two machines can be
// compared by: every registry key and value of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, and
// every folder and file of its drives with the file's contents (shortcut files by size only,
// since they carry time stamps).
std::string SandboxState(const std::filesystem::path& sandbox);

}  // namespace tamsel::test
