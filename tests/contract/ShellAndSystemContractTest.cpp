// "WScript.Shell" and its shortcuts, the system and the volumes, checked on both platforms with
// the same expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "contract/ContractPlatform.h"

namespace tamsel::test {
namespace {

using namespace std::string_literals;
using ShellAndSystemContract = ContractTest;

TEST_F(ShellAndSystemContract, ShortcutsHoldTheirHotKeyWindowStyleAndIconIndex) {
    auto shell = platform_->GetAutomation().CreateShell();
    const std::string startMenu = shell->SpecialFolder("StartMenu");
    EXPECT_TRUE(fso_->FolderExists(startMenu + "\\Programs")) << startMenu;

    const std::string link = root_ + "\\Tamsel Orry.lnk";
    const std::string target = root_ + "\\TamselOrry.exe";
    Write(target, "MZ");
    // Each row: what is set, and the header from byte 56: icon index, ShowCommand, HotKey word.
    const std::tuple<const char*, std::int16_t, const char*, std::string> rows[] = {
        {"CTRL+SHIFT+F", 1, ",2", "\x02\0\0\0\x01\0\0\0\x46\x03"s},
        {"shift + ctrl + f", 3, ", -3", "\xFD\xFF\xFF\xFF\x03\0\0\0\x46\x03"s},
        {"Alt+Ctrl+F12", 7, "", "\0\0\0\0\x07\0\0\0\x7B\x06"s},
        {"CTRL+ALT+9", 1, ",x", "\0\0\0\0\x01\0\0\0\x39\x06"s},
        {"Ctrl+Home", 1, "", "\0\0\0\0\x01\0\0\0\x24\x02"s},
        {"", 1, "", "\0\0\0\0\x01\0\0\0\0\0"s},
    };
    for (const auto& [hotKey, style, icon, header] : rows) {  // each save replaces the file
        SCOPED_TRACE(hotKey);
        auto shortcut = shell->CreateShortCut(link);
        shortcut->SetTargetPath(target);
        shortcut->SetWindowStyle(style);
        shortcut->SetHotKey(hotKey);
        shortcut->SetIconLocation(target + icon);
        shortcut->SetDescription("Tamsel Orry");
        shortcut->SetWorkingDirectory(root_ + "\\");
        shortcut->Save();
        EXPECT_EQ(Bytes(link).substr(56, 10), header);
    }
    for (const char* bad : {"CTRL+", "CTRL+NOSUCHKEY", "HYPER+F", "CTRL+F25", "+"}) {
        auto shortcut = shell->CreateShortCut(root_ + "\\bad.lnk");
        shortcut->SetTargetPath(target);
        const auto number = ErrorOf([&] {  // raised when it is set, or at the latest when saved
            shortcut->SetHotKey(bad);
            shortcut->Save();
        });
        EXPECT_EQ(number, err::kInvalidProcedureCall) << bad;
    }

    auto nowhere = shell->CreateShortCut(root_ + "\\no such folder\\x.lnk");
    nowhere->SetTargetPath(target);
    const std::int32_t number = ErrorOf([&] { nowhere->Save(); });
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
    EXPECT_EQ(ErrorOf([&] { system.StartProcess(root_ + "\\no such\\missing.exe"); }),
              err::kFileNotFound);

    Volumes& volumes = platform_->GetVolumes();
    EXPECT_TRUE(std::ranges::any_of(volumes.Drives(),
                                    [](const DriveInfo& d) { return d.letter == 'c' && d.ready; }));
    EXPECT_TRUE(volumes.DirectoryExists(root_ + "\\No such"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\no.exe"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\Gamma"));
    volumes.SetCurrentDirectory('c', root_ + "\\no such");
    EXPECT_EQ(volumes.CurrentDirectory('c'), root_ + "\\no such");
}

}  // namespace
}  // namespace tamsel::test
