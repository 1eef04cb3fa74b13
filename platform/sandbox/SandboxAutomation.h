#pragma once

#include "platform/Automation.h"

namespace tamsel::sandbox {

class SandboxMachine;

// Creates the sandbox's "Scripting.FileSystemObject" and "WScript.Shell"; both fail with 429
// while the machine's scripting host is switched off.
class SandboxAutomation : public Automation {
  public:
    explicit SandboxAutomation(SandboxMachine& machine);

    std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
    std::unique_ptr<ShellObject> CreateShell() override;

  private:
    SandboxMachine& machine_;
};

}  // namespace tamsel::sandbox
