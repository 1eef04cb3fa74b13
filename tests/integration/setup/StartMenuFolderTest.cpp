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
    // Windows spells the profile folder "C:\\users\\User", the sandbox "C:\\Users\\User".
    std::string copy = StringValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu").value_or("");
    std::transform(copy.begin(), copy.end(), copy.begin(), ::tolower);
    EXPECT_EQ(copy, "c:\\users\\user\\appdata\\roaming\\microsoft\\windows\\start menu");
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
