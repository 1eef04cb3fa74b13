#include "SetupHarness.h"

namespace tamsel::test {
namespace {

const std::string kGroupShortcuts[] = {"Tamsel Orry.lnk", "Uninstall Tamsel Orry.lnk"};

TEST_F(SetupTest, ShortcutsGoIntoTheChosenGroupAndEarlierGroupsAreLeftAlone) {
    const std::string programs = std::string(kPrograms) + "\\";

    // An existing group: the shortcuts join what is there.
    ScriptRun run = RunSetup({"set StartMenuGroup Accessories", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& file : kGroupShortcuts) EXPECT_TRUE(Exists(programs + "Accessories\\" + file));
    EXPECT_TRUE(Exists(programs + "Accessories\\Notepad.lnk"));
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz("Accessories"));

    // A value of the uninstall entry deleted by hand stays deleted: an installation over an
    // earlier one does not write that entry again.
    DeleteValue(reg::kLocalMachine, names::kUninstallKey, "DisplayName");
    run = RunSetup({"set StartMenuGroup Games", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto window = WindowStates(run, "Installer").at(0);
    EXPECT_EQ(ControlOf(window, "StartMenuGroup")["text"], "Tamsel Orry");
    for (const auto& file : kGroupShortcuts) {
        EXPECT_TRUE(Exists(programs + "Games\\" + file));
        EXPECT_TRUE(Exists(programs + "Accessories\\" + file));
    }
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz("Games"));
    EXPECT_EQ(ExportKey(kUninstallKeyName),
              (KeyValues{{"ApplicationName", Sz("TamselOrry.exe")},
                         {"AppToUninstall", Sz("TamselOrry.exe")},
                         {"UninstallString", Sz(std::string(kDefaultTarget) + "uninstall.exe")}}));

    // No group: the shortcuts lie directly in the Programs folder.
    run = RunSetup({"set StartMenuGroup", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const auto& file : kGroupShortcuts) EXPECT_TRUE(Exists(programs + file));
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz(""));
}

}  // namespace
}  // namespace tamsel::test
