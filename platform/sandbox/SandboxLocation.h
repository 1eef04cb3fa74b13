#pragma once

#include <filesystem>

namespace tamsel::sandbox {

// The sandbox's folder: TAMSEL_SANDBOX, or ${XDG_DATA_HOME:-$HOME/.local/share}/tamsel-sandbox.
// Throws std::runtime_error when neither TAMSEL_SANDBOX nor HOME nor XDG_DATA_HOME is set.
std::filesystem::path SandboxDirectory();

}  // namespace tamsel::sandbox
