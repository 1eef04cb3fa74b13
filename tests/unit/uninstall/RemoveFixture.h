#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "common/ui/Application.h"
#include "common/ui/UserInterface.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/ScratchDirectory.h"
#include "uninstall/Remove.h"

namespace tamsel {

inline constexpr const char* kInstallFolder = "C:\\Program Files\\Tamsel Orry";
inline constexpr const char* kProgramsFolder =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr const char* kUninstallEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel Orry";
inline constexpr const char* kAppPaths =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TamselOrry.exe";
inline constexpr const char* kMenuOrder =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
    "Menu\\&Programs";
inline constexpr const char* kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A front end that shows nothing and answers every message box through RecordingMessageBoxes.
class SilentUserInterface : public UserInterface {
  public:
    void Run(Application&) override {}
    MsgResult ShowMessageBox(const MessageBoxSpec& spec) override {
        return boxes.ShowMessageBox(spec);
    }
    test::RecordingMessageBoxes boxes;
};

// The Remove window on a fresh sandbox machine, shown and waiting for the user.
class RemoveTest : public ::testing::Test {
  protected:
    RemoveTest()
        : machine_(sandbox::SandboxMachine::Open(scratch_.Path() / "machine")),
          app_(ui_, "Uninstall"),
          remove_(std::make_unique<Remove>(app_, *machine_)) {
        remove_->Show();
    }

    std::filesystem::path Host(const std::string& windowsPath) {
        return machine_->HostPath(windowsPath, true);
    }
    void PutFile(const std::string& windowsPath, const std::string& content = "x") {
        const auto host = Host(windowsPath);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary) << content;
    }
    void PutFolder(const std::string& windowsPath) {
        std::filesystem::create_directories(Host(windowsPath));
    }
    bool Exists(const std::string& windowsPath) {
        return std::filesystem::exists(Host(windowsPath));
    }
    std::string Read(const std::string& windowsPath) {
        std::ifstream in(Host(windowsPath), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    sandbox::SqliteRegistry& Registry() { return machine_->GetSqliteRegistry(); }
    void PutValue(RegKey root, const std::string& key, const std::string& name,
                  const std::string& text) {
        RegKey handle = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(Registry().CreateKeyEx(root, key, 0, nullptr, 0, reg::kKeySixRights, &handle,
                                         &disposition),
                  0);
        const std::string data = text + '\0';
        ASSERT_EQ(Registry().SetValueEx(handle, name, 0, reg::kSz,
                                        reinterpret_cast<const std::uint8_t*>(data.data()),
                                        static_cast<std::uint32_t>(data.size())),
                  0);
        Registry().CloseKey(handle);
    }
    void PutKey(RegKey root, const std::string& key) {
        RegKey handle = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(Registry().CreateKeyEx(root, key, 0, nullptr, 0, reg::kKeySixRights, &handle,
                                         &disposition),
                  0);
        Registry().CloseKey(handle);
    }
    bool KeyExists(RegKey root, const std::string& key) { return Registry().KeyExists(root, key); }
    std::optional<std::string> Value(RegKey root, const std::string& key, const std::string& name) {
        for (const auto& value : Registry().Values(root, key)) {
            if (value.name == name) return std::string(value.data.begin(), value.data.end());
        }
        return std::nullopt;
    }

    // What Setup leaves: the two files, the registry record and the group with its shortcuts
    // and menu-order key. path and group as Setup records them.
    void Install(const std::string& path = std::string(kInstallFolder) + "\\",
                 const std::string& group = "Tamsel Orry") {
        std::string folder = path;
        if (!folder.empty() && folder.back() == '\\') folder.pop_back();
        PutFile(folder + "\\uninstall.exe");
        PutFile(folder + "\\TamselOrry.exe");
        PutValue(reg::kLocalMachine, kUninstallEntry, "UninstallString", path + "uninstall.exe");
        PutValue(reg::kLocalMachine, kAppPaths, "", path + "TamselOrry.exe");
        PutValue(reg::kLocalMachine, kAppPaths, "Path", path);
        const std::string groupFolder = group.empty() ? std::string(kProgramsFolder)
                                                      : std::string(kProgramsFolder) + "\\" + group;
        PutFile(groupFolder + "\\Tamsel Orry.lnk");
        PutFile(groupFolder + "\\Uninstall Tamsel Orry.lnk");
        if (!group.empty()) PutKey(reg::kUsers, std::string(kMenuOrder) + "\\" + group);
        PutValue(reg::kLocalMachine, kAppPaths, "StartMenuGroup", group);
    }

    const std::vector<MessageBoxSpec>& Shown() { return ui_.boxes.Shown(); }

    test::ScratchDirectory scratch_;
    std::unique_ptr<sandbox::SandboxMachine> machine_;
    SilentUserInterface ui_;
    Application app_;
    std::unique_ptr<Remove> remove_;
};

}  // namespace tamsel
