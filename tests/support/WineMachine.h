#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/RegFileText.h"
#include "support/ChildProcess.h"

namespace tamsel::test {

namespace fs = std::filesystem;

// The black-box tests' machine under Wine, running the Windows build: a copy, made for each
// test, of one 32-bit prefix that tests/wine/blackbox-machine.sh arranges like a new sandbox
// machine (user "User", TEMP in the profile, D: with the label "Data", the same Start menu).
// The copy's folder holds "prefix" (WINEPREFIX) and "drives/c", "drives/d", which the prefix
// uses as C: and D:, so that the drives lie where they lie on a sandbox machine.
class WineMachine {
  public:
    WineMachine(const fs::path& machine, const fs::path& directory)
        : drives(fs::absolute(directory) / "drives"), directory_(fs::absolute(directory)) {
        if (!fs::is_directory(machine / "prefix")) {
            throw std::runtime_error(machine.string() + " holds no Wine machine");
        }
        // Hard links make the copy cheap; what Wine rewrites in place (its registry files, the
        // ".ini" files) is copied for real.
        const ProcessResult copy = RunProcess({"cp", "-al", machine.string(), directory_.string()});
        if (copy.status != 0) throw std::runtime_error("cannot copy the Wine machine: " + copy.err);
        for (const auto& entry : fs::recursive_directory_iterator(directory_)) {
            const auto extension = entry.path().extension();
            if (entry.is_regular_file() && (extension == ".reg" || extension == ".ini")) {
                Unshare(entry.path());
            }
        }
    }
    ~WineMachine() { RunProcess({"wineserver", "-k"}, Environment()); }

    // The registry through regedit, which reads and writes UTF-16LE with a byte-order mark
    // (so that names in any script survive): an import of ".reg" text, the export of a key
    // (nothing when it is missing), and of the keys the programs touch.
    bool Import(const std::string& regText) const {
        const fs::path file = directory_ / "import.reg";
        const std::vector<std::uint8_t> text = sandbox::AnsiToUtf16Le(regText);
        std::ofstream(file, std::ios::binary)
            << "\xFF\xFE" << std::string(text.begin(), text.end());
        return RunProcess({"wine", "regedit", "/S", drives.WindowsPath(file)}, Environment())
                   .status == 0;
    }
    std::optional<std::string> ExportKey(const std::string& key) const {
        const fs::path file = directory_ / "export.reg";
        fs::remove(file);
        const std::vector<std::string> command{"wine", "regedit", "/E", drives.WindowsPath(file),
                                               key};
        if (RunProcess(command, Environment()).status != 0 || !fs::exists(file)) return {};
        const std::string bytes = ReadHostFile(file).substr(2);
        std::string text = sandbox::Utf16LeToAnsi(
                               reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())
                               .value_or("");
        std::erase(text, '\r');
        return text;
    }
    // Only the keys whose values the programs and the log-on read or write: Wine itself keeps
    // changing values elsewhere in its registry (devices, fonts, times).
    std::string ExportAll() const {
        static const char* const kWatchedKeys[] = {
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
            "HKEY_CURRENT_USER\\Environment",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
            "Folders",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
            "HKEY_USERS\\."
            "DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder",
        };
        std::string all;
        for (const char* key : kWatchedKeys) all += ExportKey(key).value_or("");
        return all;
    }

    // No write permission on the host file, which Wine shows as read-only.
    void SetReadOnly(const std::string& windowsPath) const {
        const fs::path host = drives.HostPath(windowsPath, true);
        Unshare(host);
        fs::permissions(host, fs::perms::owner_write | fs::perms::group_write,
                        fs::perm_options::remove);
    }
    // scrrun.dll and wshom.ocx disabled by a DLL override, or not.
    void SetScriptingHostAvailable(bool available) { scriptingHost_ = available; }

    // The log-on: `wineboot -r` runs the RunOnce commands and waits for them.
    ProcessResult LogOn() const { return RunProcess({"wine", "wineboot", "-r"}, Environment()); }

    // The environment of the machine's Wine programs.
    EnvironmentChanges Environment() const {
        // winemenubuilder.exe would read each saved shortcut, and could hold one open just when
        // the uninstaller deletes it (the same overrides as the machine was made with).
        std::string overrides = "mscoree,mshtml=;winemenubuilder.exe=d";
        if (!scriptingHost_) overrides += ";scrrun,wshom.ocx=d";
        return {{"WINEPREFIX", (directory_ / "prefix").string()},
                {"WINEARCH", "win32"},
                {"WINEDEBUG", "-all"},
                {"WINEDLLOVERRIDES", overrides},
                {"USER", "User"},
                {"LOGNAME", "User"},
                {"TAMSEL_SANDBOX", std::nullopt}};
    }

    // The machine's drives: its Windows paths as host paths, and the path under which Wine
    // shows a host file (Z:\... outside the drives).
    const sandbox::DriveMap drives;

  private:
    // Replaces a file hard-linked with the machine copied from by a copy of its own, so that a
    // change to it stays with this machine.
    static void Unshare(const fs::path& file) {
        if (fs::hard_link_count(file) < 2) return;
        fs::copy_file(file, file.string() + ".copy");
        fs::rename(file.string() + ".copy", file);
    }

    fs::path directory_;
    bool scriptingHost_ = true;
};

}  // namespace tamsel::test
