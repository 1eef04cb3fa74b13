#pragma once

#include <memory>

#include "platform/ShellObject.h"

namespace tamsel::sandbox {

class SandboxMachine;

// "WScript.Shell" on a sandbox machine: special folders and shortcut files.
std::unique_ptr<ShellObject> MakeShellObject(SandboxMachine& machine);

}  // namespace tamsel::sandbox
