#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ChildProcess.h"
#include "support/ErrorOf.h"
#include "support/ScratchDirectory.h"
#include "support/ScriptRun.h"

namespace tamsel::test {

// Where Setup installs on a new machine, and the keys the programs use (written out here, apart
// from the programs' own constants).
inline constexpr const char* kInstallFolder = "C:\\Program Files\\Tamsel Orry";
inline constexpr const char* kDefaultTarget = "C:\\Program Files\\Tamsel Orry\\";
inline constexpr const char* kInstalledUninstaller =
    "C:\\Program Files\\Tamsel Orry\\uninstall.exe";
inline constexpr const char* kPrograms =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel Orry";
inline constexpr const char* kAppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TamselOrry.exe";
inline constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr const char* kMenuOrderKey =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
    "Menu\\&Programs";

// The logged states of one window of a scripted run, and a control's state in one of them ({}
// when missing).
inline std::vector<nlohmann::json> WindowStates(const ScriptRun& run, const std::string& name) {
    auto states = run.EventsOf("window");
    std::erase_if(states, [&](const auto& state) { return state.value("name", "") != name; });
    return states;
}
inline nlohmann::json ControlOf(const nlohmann::json& window, const std::string& control) {
    const auto none = nlohmann::json::object();
    return window.value("controls", none).value(control, none);
}

// A message box as the log shows it.
inline nlohmann::json MessageBoxEvent(const std::string& title, const std::string& text,
                                      const std::string& buttons, const std::string& icon,
                                      const std::string& defaultButton) {
    return {{"event", "msgbox"},  {"title", title}, {"text", text},
            {"buttons", buttons}, {"icon", icon},   {"default", defaultButton}};
}

// The failure report that ended a program: status 1 and one message box, naming `what`.
inline void ExpectFailureReport(const ScriptRun& run, const std::string& what) {
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0]["text"].get<std::string>().find(what), std::string::npos) << boxes[0];
}

// A key's values as an export shows them: name ("@" for the default) to data (Sz for a string).
using KeyValues = std::map<std::string, std::string>;
// A registry file quotes text as JSON does: "\\" and "\"" escaped.
inline std::string Sz(const std::string& text) { return nlohmann::json(text).dump(); }

// What a machine holds, to compare with what it holds later: its files and its registry.
struct MachineState {
    std::set<std::string> files;
    std::string registry;
};

class WineMachine;

// A fresh default machine per test, to arrange, run the programs on as a user would, and
// inspect: a sandbox machine open in this process, or, when TAMSEL_WINE_MACHINE is set, a Wine
// machine running the Windows build (WineMachine; then machine_ is null).
class SandboxTest : public ::testing::Test {
  protected:
    SandboxTest();
    ~SandboxTest() override;

    bool UnderWine() const { return machine_ == nullptr; }
    const std::filesystem::path& MachineDir() const { return machineDir_; }

    // Files, by their Windows path on the machine, and the state Windows keeps for them.
    std::filesystem::path Host(const std::string& windowsPath, bool forWriting = false) const;
    bool Exists(const std::string& windowsPath) const {
        return std::filesystem::exists(Host(windowsPath));
    }
    void PutFile(const std::string& windowsPath, const std::string& content = "x") const;
    void PutFolder(const std::string& windowsPath) const {
        std::filesystem::create_directories(Host(windowsPath, true));
    }
    std::string Read(const std::string& windowsPath) const {
        return ReadHostFile(Host(windowsPath));
    }
    std::set<std::string> Listing() const;
    void SetReadOnly(const std::string& windowsPath);
    void SetScriptingHostAvailable(bool available);

    // The registry, arranged and read past the programs.
    void PutValue(RegKey root, const std::string& key, const std::string& name,
                  const std::string& text, std::uint32_t type = reg::kSz);
    void PutKey(RegKey root, const std::string& key);
    void DeleteValue(RegKey root, const std::string& key, const std::string& name);
    void DeleteKey(RegKey root, const std::string& key);  // with its subkeys
    bool KeyExists(RegKey root, const std::string& key);
    // The text of a string value; nothing when the value is missing.
    std::optional<std::string> StringValue(RegKey root, const std::string& key,
                                           const std::string& name);
    // The values of one key (full name, "HKEY_LOCAL_MACHINE\..."), nothing when it is missing.
    std::optional<KeyValues> ExportKey(const std::string& key);
    // The whole registry as .reg text.
    std::string ExportAll() const;

    // The files and registry now (under Wine the keys the programs touch), and a check that
    // they are as in `state`, apart from the entries of `mayGo`.
    MachineState State() { return {Listing(), ExportAll()}; }
    void ExpectState(const MachineState& state, const std::set<std::string>& mayGo = {});

    // tamsel-sandbox on this machine; under Wine only {"logon"}, which is `wineboot -r`.
    ProcessResult Tool(const std::vector<std::string>& args) const;
    // A program of the build (Setup by default), or of the machine, played by a script.
    ScriptRun RunSetup(const std::vector<std::string>& lines,
                       const std::filesystem::path& program = BuiltFile("dist/Setup")) const;
    ScriptRun RunOnMachine(const std::string& windowsPath,
                           const std::vector<std::string>& lines) const;
    // Installs with Setup's defaults and answers No to starting the application.
    void InstallWithSetup() const;

    ScratchDirectory scratch_;
    std::filesystem::path machineDir_;
    std::unique_ptr<sandbox::SandboxMachine> machine_;

  private:
    void Import(const std::string& lines);
    std::optional<std::string> ExportText(const std::string& key) const;
    // Runs a command that plays the script, with its log kept for the comparison of transcripts.
    ScriptRun Play(const std::vector<std::string>& command,
                   const std::vector<std::string>& lines) const;

    std::unique_ptr<WineMachine> wine_;
    mutable int runs_ = 0;
};

}  // namespace tamsel::test
