#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"
#include "support/ScriptRun.h"

namespace tamsel::test {

inline constexpr const char* kInstalledUninstaller =
    "C:\\Program Files\\Tamsel Orry\\uninstall.exe";
inline constexpr const char* kInstallFolder = "C:\\Program Files\\Tamsel Orry";
inline constexpr const char* kProgramsFolder =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr const char* kAppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TamselOrry.exe";
inline constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel Orry";
inline constexpr const char* kMenuOrderKey =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
    "Menu\\&Programs";

// A fresh sandbox machine per test, Setup and the uninstaller run on it as a user would, and
// what is on the machine before and after.
class UninstallTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // tamsel-sandbox on this machine; Tool() fails the test unless the status is 0.
    ProcessResult ToolResult(const std::vector<std::string>& args,
                             const EnvironmentChanges& environment = {});
    std::string Tool(const std::vector<std::string>& args);

    // Installs with Setup's defaults.
    void InstallWithSetup();
    // `tamsel-sandbox run PROGRAM` with the scripted front end playing the lines.
    ScriptRun RunUninstaller(const std::vector<std::string>& lines,
                             const std::string& program = kInstalledUninstaller);

    std::filesystem::path HostPath(const std::string& windowsPath);
    bool Exists(const std::string& windowsPath);
    void PutFile(const std::string& windowsPath, const std::string& content = "x");
    std::string Read(const std::string& windowsPath);

    void SetString(RegKey root, const std::string& key, const std::string& name,
                   const std::string& text);
    void CreateKey(RegKey root, const std::string& key);
    bool KeyExists(RegKey root, const std::string& key);
    // The data of a string value without its NUL; "<missing>" when it is not there.
    std::string StringValue(RegKey root, const std::string& key, const std::string& name);

    // Every folder and file of the machine's drives C: and D:, one a line ("C:\dir\" for a
    // folder, "C:\dir\file <size> <hash>" for a file), sorted.
    std::set<std::string> Listing();
    // The whole registry as exported text.
    std::string ExportAll() { return Tool({"reg", "export"}); }

    ScratchDirectory scratch_;
    std::filesystem::path machine_;
};

}  // namespace tamsel::test
