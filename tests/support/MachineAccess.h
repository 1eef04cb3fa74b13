#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "support/ChildProcess.h"
#include "support/ScriptRun.h"

namespace tamsel::test {

// What the black-box tests of Setup and Uninstall do to a machine past the programs: arrange
// and read its registry, run programs on it as a user would, log on, list its drives. Two
// machines implement it: a sandbox machine (SandboxMachineAccess) and a Wine prefix that runs
// the Windows build (WineMachine). Files and the state Windows keeps for them (read-only, in
// use, the Script Host, the environment) go through sandbox::SandboxMachine, which both offer.
class MachineAccess {
  public:
    virtual ~MachineAccess() = default;

    // Registry calls give the Win32 status; StringValue gives the text without its NUL, nothing
    // when the value is missing.
    virtual RegStatus PutValue(RegKey root, const std::string& key, const std::string& name,
                               const std::string& text, std::uint32_t type) = 0;
    virtual RegStatus PutKey(RegKey root, const std::string& key) = 0;
    virtual RegStatus DeleteValue(RegKey root, const std::string& key, const std::string& name) = 0;
    // Deletes the key with its subkeys; kFileNotFound when it is missing.
    virtual RegStatus DeleteKey(RegKey root, const std::string& key) = 0;
    virtual bool KeyExists(RegKey root, const std::string& key) = 0;
    virtual std::optional<std::string> StringValue(RegKey root, const std::string& key,
                                                   const std::string& name) = 0;
    // The registry as a ".reg" text, for comparing one state with another of the same machine;
    // the export of one key ("HKEY_LOCAL_MACHINE\..."), nothing when the key is missing.
    virtual std::string ExportAll() = 0;
    virtual std::optional<std::string> ExportKey(const std::string& key) = 0;

    // A program of the build (a host path), or a program of the machine (a Windows path),
    // played by a script.
    virtual ScriptRun RunProgram(const std::filesystem::path& program,
                                 const std::vector<std::string>& lines) = 0;
    virtual ScriptRun RunOnMachine(const std::string& windowsPath,
                                   const std::vector<std::string>& lines) = 0;
    // The next log-on of the user: the RunOnce commands run.
    virtual ProcessResult LogOn() = 0;
    // The files and folders of the machine's drives, as DriveListing gives them.
    virtual std::set<std::string> Listing() = 0;
};

}  // namespace tamsel::test
