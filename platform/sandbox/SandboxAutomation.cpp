#include "platform/sandbox/SandboxAutomation.h"

#include "platform/RuntimeError.h"
#include "platform/sandbox/SandboxFileSystemObject.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SandboxShell.h"

namespace tamsel::sandbox {

SandboxAutomation::SandboxAutomation(SandboxMachine& machine) : machine_(machine) {}

std::unique_ptr<FileSystemObject> SandboxAutomation::CreateFileSystemObject() {
    if (!machine_.ScriptingHostAvailable())
        throw RuntimeError::FromNumber(err::kCannotCreateObject);
    return MakeFileSystemObject(machine_);
}

std::unique_ptr<ShellObject> SandboxAutomation::CreateShell() {
    if (!machine_.ScriptingHostAvailable())
        throw RuntimeError::FromNumber(err::kCannotCreateObject);
    return MakeShellObject(machine_);
}

}  // namespace tamsel::sandbox
