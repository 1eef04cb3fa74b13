#include "platform/sandbox/SandboxLocation.h"

#include <cstdlib>
#include <stdexcept>

namespace tamsel::sandbox {

std::filesystem::path SandboxDirectory() {
    auto set = [](const char* name) -> const char* {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0' ? value : nullptr;
    };
    if (const char* explicitDir = set("TAMSEL_SANDBOX"))
        return std::filesystem::absolute(explicitDir);
    if (const char* dataHome = set("XDG_DATA_HOME")) {
        return std::filesystem::path(dataHome) / "tamsel-sandbox";
    }
    if (const char* home = set("HOME")) {
        return std::filesystem::path(home) / ".local" / "share" / "tamsel-sandbox";
    }
    throw std::runtime_error("cannot find the sandbox: set TAMSEL_SANDBOX or HOME");
}

}  // namespace tamsel::sandbox
