// "WScript.Shell" and its shortcuts, the system and the volumes, checked on both platforms with
// the same expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "contract/ContractPlatform.h"

namespace tamsel::test {
namespace {

using ShellAndSystemContract = ContractTest;

// A row of shortcut properties and what the file's header says of them: the icon index at
// byte 56, the ShowCommand at byte 60 and the HotKey word at byte 64.
struct ShortcutRow {
    const char* hotKey;
    std::uint16_t hotKeyWord;
    std::int16_t windowStyle;
    const char* iconSuffix;
    std::int32_t iconIndex;
};

TEST_F(ShellAndSystemContract, ShortcutsHoldTheirHotKeyWindowStyleAndIconIndex) {
    auto shell = platform_->GetAutomation().CreateShell();
    const std::string startMenu = shell->SpecialFolder("StartMenu");
    EXPECT_TRUE(fso_->FolderExists(startMenu + "\\Programs")) << startMenu;

    const std::string link = root_ + "\\Tamsel Orry.lnk";
    const std::string target = root_ + "\\TamselOrry.exe";
    Write(target, "MZ");
    const ShortcutRow rows[] = {
        {"CTRL+SHIFT+F", 0x0346, 1, ",2", 2}, {"shift + ctrl + f", 0x0346, 3, ", -3", -3},
        {"Alt+Ctrl+F12", 0x067B, 7, "", 0},   {"CTRL+ALT+9", 0x0639, 1, ",x", 0},
        {"Ctrl+Home", 0x0224, 1, "", 0},      {"", 0, 1, "", 0},
    };
    for (const ShortcutRow& row : rows) {  // each save replaces the file
        SCOPED_TRACE(row.hotKey);
        auto shortcut = shell->CreateShortCut(link);
        shortcut->SetTargetPath(target);
        shortcut->SetWindowStyle(row.windowStyle);
        shortcut->SetHotKey(row.hotKey);
        shortcut->SetIconLocation(target + row.iconSuffix);
        shortcut->SetDescription("Tamsel Orry");
        shortcut->SetWorkingDirectory(root_ + "\\");
        shortcut->Save();
        const std::string bytes = Bytes(link);
        ASSERT_GT(bytes.size(), 66u);
        std::int32_t iconIndex = 0;
        std::memcpy(&iconIndex, bytes.data() + 56, 4);
        EXPECT_EQ(iconIndex, row.iconIndex);
        EXPECT_EQ(bytes[60], row.windowStyle);
        EXPECT_EQ(static_cast<unsigned char>(bytes[64]), row.hotKeyWord & 0xFF);
        EXPECT_EQ(static_cast<unsigned char>(bytes[65]), row.hotKeyWord >> 8);
    }
    for (const char* bad : {"CTRL+", "CTRL+NOSUCHKEY", "HYPER+F", "CTRL+F25", "CTRL+AB", "+"}) {
        auto shortcut = shell->CreateShortCut(root_ + "\\bad.lnk");
        shortcut->SetTargetPath(target);
        const auto number = NumberOf([&] {  // raised when it is set, or at the latest when saved
            shortcut->SetHotKey(bad);
            shortcut->Save();
        });
        EXPECT_EQ(number, err::kInvalidProcedureCall) << bad;
    }

    auto nowhere = shell->CreateShortCut(root_ + "\\no such folder\\x.lnk");
    nowhere->SetTargetPath(target);
    const std::int32_t number = NumberOf([&] { nowhere->Save(); });
    EXPECT_NE(number, 0);
    if (!ContractPlatformIsWine()) {
        EXPECT_EQ(number, err::kPathNotFound);
    }
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\no such folder"));
}

TEST_F(ShellAndSystemContract, SystemStartsProgramsAndKnowsItsOwnFolder) {
    System& system = platform_->GetSystem();
    EXPECT_EQ(system.EnvironmentVariable("TAMSEL_NO_SUCH_VARIABLE"), "");
    const std::string folder = system.ProgramFolder();
    EXPECT_TRUE(fso_->FolderExists(folder)) << folder;
    EXPECT_FALSE(folder.ends_with("\\")) << folder;
    EXPECT_TRUE(fso_->FolderExists("C:\\Windows\\Temp"));  // the system's TEMP
    // A missing program in a folder with a space is reported as missing: the file at the
    // path's first word plus ".exe" is not started instead.
    fso_->CreateFolder(root_ + "\\no such");
    Write(root_ + "\\no.exe", "MZ");
    EXPECT_EQ(NumberOf([&] { system.StartProcess(root_ + "\\no such\\missing.exe"); }),
              err::kFileNotFound);

    Volumes& volumes = platform_->GetVolumes();
    const auto drives = volumes.Drives();
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(),
                            [](const DriveInfo& d) { return d.letter == 'c' && d.ready; }));
    EXPECT_TRUE(volumes.DirectoryExists(root_ + "\\No such"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\no.exe"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\Gamma"));
    volumes.SetCurrentDirectory('c', root_ + "\\no such");
    EXPECT_EQ(volumes.CurrentDirectory('c'), root_ + "\\no such");
}

}  // namespace
}  // namespace tamsel::test
