#include <algorithm>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using StartMenuFolderTest = SandboxTest;

// The groups come from the shell's own Start menu, which "User Shell Folders" names; a
// "Shell Folders" value that names another folder (which Setup reads to propose the drive)
// does not move it, and the shell puts its copy right again.
TEST_F(StartMenuFolderTest, GroupsComeFromTheShellsStartMenuWhateverShellFoldersSays) {
    PutFolder("D:\\Menu\\Programs\\Elsewhere");
    PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu", "D:\\Menu");
    const ScriptRun run = RunSetup({"click CancelBTN"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto window = WindowStates(run, "Installer").at(0);
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], "D:\\Program Files\\Tamsel Orry\\");
    const auto groups = ControlOf(window, "StartMenuGroup")["list"];
    EXPECT_NE(std::find(groups.begin(), groups.end(), "Accessories"), groups.end()) << groups;
    EXPECT_EQ(std::find(groups.begin(), groups.end(), "Elsewhere"), groups.end()) << groups;
    EXPECT_EQ(StringValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu"),
              "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu");
}

// Moving the Start menu where the shell keeps it moves the groups, with the profile expanded.
TEST_F(StartMenuFolderTest, UserShellFoldersMovesTheStartMenuWithTheProfileExpanded) {
    PutFolder("C:\\Users\\User\\Menu\\Programs\\Moved");
    PutValue(reg::kCurrentUser, kUserShellFoldersKey, "Start Menu", "%USERPROFILE%\\Menu",
             reg::kExpandSz);
    const ScriptRun run = RunSetup({"click CancelBTN"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto groups = ControlOf(WindowStates(run, "Installer").at(0), "StartMenuGroup")["list"];
    EXPECT_EQ(groups, nlohmann::json::array({"Moved"}));
}

}  // namespace
}  // namespace tamsel::test
