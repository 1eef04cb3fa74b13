#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/MachineAccess.h"

namespace tamsel::test {

// The black-box tests' machine under Wine, running the Windows build: a copy, made for each
// test, of one 32-bit prefix that tests/wine/blackbox-machine.sh arranges like a new sandbox
// machine (user "User", TEMP in the profile, D: with the label "Data", the same Start menu).
// The copy's folder holds "prefix" (WINEPREFIX) and "drives/c", "drives/d", which the prefix
// uses as C: and D:, so that the drives lie where they lie on a sandbox machine.
//
//  - registry: written by importing a ".reg" file with `regedit /S`, read with `regedit /E`;
//  - programs: `wine PROGRAM` with TAMSEL_UI=script:FILE and TAMSEL_UI_LOG (Z: paths);
//  - log-on: `wineboot -r`, which runs the RunOnce commands and waits for them;
//  - a read-only file: no write permission on the host file, which Wine shows as read-only;
//  - a file in use: held open without sharing by `uiauto.exe hold`, until released;
//  - no Script Host: scrrun.dll and wshom.ocx disabled by a DLL override.
//
// Only the calls the black-box tests need exist; the platform services (GetRegistry, ...) of
// SandboxMachine throw std::logic_error, since the programs, not the tests, use Windows'.
class WineMachine : public sandbox::SandboxMachine, public MachineAccess {
  public:
    // The Wine machine is used when TAMSEL_WINE_MACHINE names the machine to copy; then
    // TAMSEL_WINE_DIST names the Windows build's programs and TAMSEL_WINE_TOOLS uiauto.exe's
    // folder.
    static bool Selected();

    explicit WineMachine(const std::filesystem::path& directory);
    ~WineMachine() override;

    // sandbox::SandboxMachine
    Registry& GetRegistry() override;
    Automation& GetAutomation() override;
    System& GetSystem() override;
    Volumes& GetVolumes() override;
    FolderIdentity& GetFolderIdentity() override;
    const std::filesystem::path& Directory() const override { return directory_; }
    sandbox::SqliteRegistry& GetSqliteRegistry() override;
    std::filesystem::path HostPath(const std::string& windowsPath, bool forWriting) const override;
    std::filesystem::path HostPath(const std::string& windowsPath, bool forWriting,
                                   std::filesystem::file_type& kind) const override;
    std::string WindowsPath(const std::filesystem::path& hostPath) const override;
    std::string Environment(const std::string& name) override;
    std::optional<std::string> FindEnvironment(const std::string& name) override;
    void SetEnvironment(const std::string& name, const std::string& value) override;
    void RemoveEnvironment(const std::string& name) override;
    bool IsReadOnly(const std::string& windowsPath) override;
    void SetReadOnly(const std::string& windowsPath, bool readOnly) override;
    bool IsInUse(const std::string& windowsPath) override;
    void SetInUse(const std::string& windowsPath, bool inUse) override;
    sandbox::FileState StateAt(const std::filesystem::path& hostPath) override;
    void ForgetStateAt(const std::filesystem::path& hostPath) override;
    bool ScriptingHostAvailable() override { return scriptingHost_; }
    void SetScriptingHostAvailable(bool available) override { scriptingHost_ = available; }
    // Wine's OEM code page follows the prefix's locale; the black-box machine keeps its own.
    int OemCodePage() override;
    void SetOemCodePage(int codePage) override;

    // MachineAccess
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
    EnvironmentChanges WineEnvironment() const;
    ProcessResult Wine(const std::vector<std::string>& args) const;
    RegStatus Import(const std::string& lines);
    ScriptRun RunScriptedOnWine(const std::string& program, const std::vector<std::string>& lines);
    std::string HostKey(const std::string& windowsPath) const;

    std::filesystem::path directory_;
    sandbox::DriveMap drives_;
    bool scriptingHost_ = true;
    std::map<std::string, pid_t> holders_;  // host path of a file in use -> its holder
    int runs_ = 0;
};

}  // namespace tamsel::test
