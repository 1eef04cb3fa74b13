#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sandbox/DriveMap.h"
#include "support/ChildProcess.h"
#include "support/ScriptRun.h"

namespace tamsel::test {

// The black-box tests' machine under Wine, running the Windows build: a copy, made for each
// test, of one 32-bit prefix that tests/wine/blackbox-machine.sh arranges like a new sandbox
// machine (user "User", TEMP in the profile, D: with the label "Data", the same Start menu).
// The copy's folder holds "prefix" (WINEPREFIX) and "drives/c", "drives/d", which the prefix
// uses as C: and D:, so that the drives lie where they lie on a sandbox machine.
class WineMachine {
  public:
    // The Wine machine is used when TAMSEL_WINE_MACHINE names the machine to copy; then
    // TAMSEL_WINE_DIST names the Windows build's programs.
    static bool Selected();

    explicit WineMachine(const std::filesystem::path& directory);
    ~WineMachine();

    // The registry through `regedit /S` and `regedit /E`: an import of ".reg" text, the export
    // of a key (nothing when it is missing), and of the keys the programs touch.
    bool Import(const std::string& regText) const;
    std::optional<std::string> ExportKey(const std::string& key) const;
    std::string ExportAll() const;

    std::filesystem::path HostPath(const std::string& windowsPath, bool forWriting) const {
        return drives_.HostPath(windowsPath, forWriting);
    }
    // No write permission on the host file, which Wine shows as read-only.
    void SetReadOnly(const std::string& windowsPath) const;
    // scrrun.dll and wshom.ocx disabled by a DLL override, or not.
    void SetScriptingHostAvailable(bool available) { scriptingHost_ = available; }

    // `wine PROGRAM` with TAMSEL_UI=script:FILE and TAMSEL_UI_LOG (Z: paths), for a program of
    // the build (a host path) or of the machine (a Windows path); the log-on is `wineboot -r`,
    // which runs the RunOnce commands and waits for them.
    ScriptRun RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& lines);
    ScriptRun RunOnMachine(const std::string& windowsPath, const std::vector<std::string>& lines);
    ProcessResult LogOn() const;
    std::set<std::string> Listing() const;

  private:
    EnvironmentChanges WineEnvironment() const;

    std::filesystem::path directory_;
    sandbox::DriveMap drives_;
    bool scriptingHost_ = true;
    int runs_ = 0;
};

}  // namespace tamsel::test
