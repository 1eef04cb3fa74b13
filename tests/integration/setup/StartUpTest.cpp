// What Setup's window proposes when it starts, and Setup ended before installing.
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using nlohmann::json;

class StartUpTest : public SandboxTest {
  protected:
    // The Installer window as the start-up leaves it; Setup is ended by "E&xit".
    json WindowAfterStartUp() {
        const ScriptRun run = RunSetup({"click CancelBTN"});
        EXPECT_EQ(run.status, 0) << run.err;
        return WindowStates(run, "Installer").at(0);
    }
};

// An earlier installation is recognised only by its exact record, and updated where it is: its
// folder cannot be changed. Otherwise the target is proposed on the drive of the Start menu.
TEST_F(StartUpTest, ProposesTheRecordedFolderOrOneOnTheDriveOfTheStartMenu) {
    const std::string apps = "D:\\Apps\\Tamsel Orry\\";
    for (const auto& [startMenu, application, uninstaller, target] :
         {std::tuple{"E:\\Start Menu", "", "", std::string("E:\\Program Files\\Tamsel Orry\\")},
          std::tuple{"abc", "", "", std::string("abc:\\Program Files\\Tamsel Orry\\")},
          std::tuple{"", "", "", std::string(kDefaultTarget)},
          // Only "uninstall.exe" in exactly that case is taken off the recorded command ...
          std::tuple{"", "TamselOrry.exe", "Uninstall.exe", apps + "Uninstall.exe"},
          // ... and a record in another case is not this program's.
          std::tuple{"", "tamselorry.exe", "uninstall.exe", std::string(kDefaultTarget)}}) {
        if (*startMenu != '\0') {
            PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu", startMenu);
        } else {
            DeleteValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu");
        }
        PutValue(reg::kLocalMachine, kUninstallKey, "ApplicationName", application);
        PutValue(reg::kLocalMachine, kUninstallKey, "UninstallString", apps + uninstaller);
        const json window = WindowAfterStartUp();
        EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], target);
        const bool recognised = std::string(application) == "TamselOrry.exe";
        EXPECT_EQ(ControlOf(window, "ChangeDirBTN")["enabled"], !recognised) << target;
    }
}

// The groups come from the Start menu that "User Shell Folders" names (the profile expanded); a
// "Shell Folders" value naming another folder (read only for the drive) does not move it.
TEST_F(StartUpTest, GroupsComeFromTheShellsStartMenuWhateverShellFoldersSays) {
    PutFolder("D:\\Menu\\Programs\\Elsewhere");
    PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu", "D:\\Menu");
    PutFolder("C:\\Users\\User\\Menu\\Programs\\Moved");
    PutValue(reg::kCurrentUser, kUserShellFoldersKey, "Start Menu", "%USERPROFILE%\\Menu",
             reg::kExpandSz);
    EXPECT_EQ(ControlOf(WindowAfterStartUp(), "StartMenuGroup")["list"], json::array({"Moved"}));
}

TEST_F(StartUpTest, WithoutTheScriptingHostNothingChanges) {
    const MachineState before = State();
    SetScriptingHostAvailable(false);
    const ScriptRun run = RunSetup({"answer OK"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.Kinds(), (std::vector<std::string>{"msgbox", "answer", "exit"}));
    EXPECT_EQ(run.events.at(0),
              MessageBoxEvent("Tamsel Orry Install",
                              "ERROR: Windows Scripting Host not found.\r\nWindows Scripting Host "
                              "is required for this application.\r\nGo to "
                              "http://www.tamselorry.example/TamselOrry.asp for more information.",
                              "OK", "exclamation", "OK"));
    ExpectState(before);
}

}  // namespace
}  // namespace tamsel::test
