#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "common/ProgramNames.h"
#include "platform/Registry.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"
#include "support/ScriptRun.h"

namespace tamsel::test {

// The logged states of one window, in order.
std::vector<nlohmann::json> WindowStates(const ScriptRun& run, const std::string& name);
// The state of a control in a logged window state.
const nlohmann::json& ControlOf(const nlohmann::json& window, const std::string& control);

// The values of one registry key as an export shows them: name ("@" for the default value)
// to the exported data text ("\"text\"" for a string).
using KeyValues = std::map<std::string, std::string>;
// The exported data text of a string value.
std::string Sz(const std::string& text);

// The sandbox paths and keys Setup works with.
inline constexpr const char* kDefaultTarget = "C:\\Program Files\\Tamsel Orry\\";
inline constexpr const char* kUninstallKeyName =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel Orry";
inline constexpr const char* kAppPathsKeyName =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
    "Paths\\TamselOrry.exe";
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kPrograms =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

// A fresh sandbox machine per test, with the tools to arrange it, run Setup on it and look at
// the result.
class SetupTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Runs tamsel-sandbox on this test's machine; a failure fails the test.
    std::string Tool(const std::vector<std::string>& args);
    // Runs a Setup program (the built one by default) with a script of lines.
    ScriptRun RunSetup(const std::vector<std::string>& scriptLines,
                       const std::filesystem::path& program = BuiltDistFile("Setup"));
    static std::filesystem::path BuiltDistFile(const std::string& name);

    // The host path of a Windows path of the machine.
    std::filesystem::path HostPath(const std::string& windowsPath);
    bool Exists(const std::string& windowsPath);
    // Arranges the machine's registry: writes a string value (creating the key), deletes a
    // value.
    void SetString(RegKey root, const std::string& key, const std::string& name,
                   const std::string& text);
    void DeleteValue(RegKey root, const std::string& key, const std::string& name);
    // The values of a key; nothing when the key does not exist.
    std::optional<KeyValues> ExportKey(const std::string& key);
    // The whole registry as exported text, to compare before and after.
    std::string ExportAll();
    // What lnkinfo says about a shortcut file of the machine (label to value), with the show
    // command and hot key words of the file's header added as "ShowCommand" and "HotKey".
    std::map<std::string, std::string> ShortcutProperties(const std::string& windowsPath);

    ScratchDirectory scratch_;
    std::filesystem::path machine_;
};

}  // namespace tamsel::test
