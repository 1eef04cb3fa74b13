#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using GroupFolderTest = SandboxTest;

// A recorded group that ends in "\": the shortcuts go (a doubled separator is harmless), but
// the group folder named with a trailing "\" cannot be deleted, as on Windows: the removal
// stops with "Error 53" and the rest of the installation stays.
TEST_F(GroupFolderTest, AGroupRecordedWithATrailingSeparatorStopsTheRemovalWithError53) {
    InstallWithSetup();
    const std::string group = std::string(kPrograms) + "\\Sub";
    PutFolder(group);
    for (const char* link : {"\\Tamsel Orry.lnk", "\\Uninstall Tamsel Orry.lnk"}) {
        std::filesystem::rename(Host(std::string(kPrograms) + "\\Tamsel Orry" + link),
                                Host(group) / (link + 1));
    }
    PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", "Sub\\");

    const ScriptRun run = RunOnMachine(kInstalledUninstaller, {"click OKButton", "answer OK"});
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0]["text"].get<std::string>().find("53"), std::string::npos) << boxes[0];
    EXPECT_TRUE(Exists(group));
    EXPECT_FALSE(Exists(group + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));
}

// A recorded group that ends in a blank: Windows drops a trailing blank from the last level of
// a path only, so no shortcut is found inside "Tamsel Orry " (which is no error), and the folder
// "Tamsel Orry" still holds them, so it stays; the rest of the removal goes on.
TEST_F(GroupFolderTest, AGroupRecordedWithATrailingBlankKeepsItsShortcuts) {
    InstallWithSetup();
    PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", "Tamsel Orry ");

    const ScriptRun run = RunOnMachine(kInstalledUninstaller, {"click OKButton", "answer OK"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string group = std::string(kPrograms) + "\\Tamsel Orry";
    EXPECT_TRUE(Exists(group + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(group + "\\Uninstall Tamsel Orry.lnk"));
    EXPECT_FALSE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

}  // namespace
}  // namespace tamsel::test
