#pragma once

#include <string>

#include "platform/System.h"

namespace tamsel::sandbox {

class SandboxMachine;

// The process services of a program that runs on the sandbox: the machine's environment, the
// program's own folder as a Windows path (Z:\... when it was started from the host), and
// starting a program that a Windows path names, detached, with the sandbox as its machine.
class SandboxSystem : public System {
  public:
    explicit SandboxSystem(SandboxMachine& machine);

    std::string EnvironmentVariable(const std::string& name) override;
    std::string ProgramFolder() override;
    void StartProcess(const std::string& commandLine) override;

  private:
    SandboxMachine& machine_;
};

}  // namespace tamsel::sandbox
