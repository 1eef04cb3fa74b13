#pragma once

#include <filesystem>

#include "platform/sandbox/SandboxMachine.h"
#include "support/MachineAccess.h"

namespace tamsel::test {

// A sandbox machine, open in this process; programs run on it through TAMSEL_SANDBOX.
class SandboxMachineAccess : public MachineAccess {
  public:
    SandboxMachineAccess(sandbox::SandboxMachine& machine, std::filesystem::path directory)
        : machine_(machine), directory_(std::move(directory)) {}

    RegStatus PutValue(RegKey root, const std::string& key, const std::string& name,
                       const std::string& text, std::uint32_t type) override;
    RegStatus PutKey(RegKey root, const std::string& key) override;
    RegStatus DeleteValue(RegKey root, const std::string& key, const std::string& name) override;
    RegStatus DeleteKey(RegKey root, const std::string& key) override;
    bool KeyExists(RegKey root, const std::string& key) override;
    std::optional<std::string> StringValue(RegKey root, const std::string& key,
                                           const std::string& name) override;
    std::string ExportAll() override;
    std::optional<std::string> ExportKey(const std::string& key) override;

    ScriptRun RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& lines) override;
    ScriptRun RunOnMachine(const std::string& windowsPath,
                           const std::vector<std::string>& lines) override;
    ProcessResult LogOn() override;
    std::set<std::string> Listing() override;

  private:
    sandbox::SandboxMachine& machine_;
    std::filesystem::path directory_;
};

}  // namespace tamsel::test
