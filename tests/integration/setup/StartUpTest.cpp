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
        const auto states = WindowStates(run, "Installer");
        return states.empty() ? json::object() : states.front();
    }
    std::string TargetAfterStartUp() {
        return ControlOf(WindowAfterStartUp(), "InstallDirectory").value("caption", "");
    }
    void RecordInstallation(const std::string& applicationName,
                            const std::string& uninstallString) {
        PutValue(reg::kLocalMachine, kUninstallKey, "ApplicationName", applicationName);
        PutValue(reg::kLocalMachine, kUninstallKey, "UninstallString", uninstallString);
    }
};

TEST_F(StartUpTest, RecognisesAnEarlierInstallationOnlyByItsExactRecord) {
    RecordInstallation("TamselOrry.exe", "D:\\Apps\\Tamsel Orry\\uninstall.exe");
    const json window = WindowAfterStartUp();
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], "D:\\Apps\\Tamsel Orry\\");
    EXPECT_EQ(ControlOf(window, "ChangeDirBTN")["enabled"], false);
    EXPECT_EQ(ControlOf(window, "OKBTN")["enabled"], true);
    // Only "uninstall.exe" in exactly that case is taken off the recorded command.
    RecordInstallation("TamselOrry.exe", "D:\\Apps\\Tamsel Orry\\Uninstall.exe");
    EXPECT_EQ(TargetAfterStartUp(), "D:\\Apps\\Tamsel Orry\\Uninstall.exe");
    // A record in another case is not this program's: a new installation on the default.
    RecordInstallation("tamselorry.exe", "D:\\Apps\\Tamsel Orry\\uninstall.exe");
    EXPECT_EQ(TargetAfterStartUp(), kDefaultTarget);
}

TEST_F(StartUpTest, ProposesTheTargetOnTheDriveOfTheStartMenu) {
    PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu",
             "E:\\Documents and Settings\\Someone\\Start Menu");
    EXPECT_EQ(TargetAfterStartUp(), "E:\\Program Files\\Tamsel Orry\\");
    PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu", "abc");
    EXPECT_EQ(TargetAfterStartUp(), "abc:\\Program Files\\Tamsel Orry\\");
    DeleteValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu");
    EXPECT_EQ(TargetAfterStartUp(), kDefaultTarget);
}

TEST_F(StartUpTest, WithoutTheScriptingHostOrOnExitNothingChanges) {
    const std::string registry = ExportAll();
    machine_->SetScriptingHostAvailable(false);
    ScriptRun run = RunSetup({"answer OK"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.Kinds(), (std::vector<std::string>{"msgbox", "answer", "exit"}));
    EXPECT_EQ(run.events.at(0),
              json({{"event", "msgbox"},
                    {"title", "Tamsel Orry Install"},
                    {"text",
                     "ERROR: Windows Scripting Host not found.\r\n"
                     "Windows Scripting Host is required for this application.\r\n"
                     "Go to http://www.tamselorry.example/TamselOrry.asp for more information."},
                    {"buttons", "OK"},
                    {"icon", "exclamation"},
                    {"default", "OK"}}));
    machine_->SetScriptingHostAvailable(true);

    run = RunSetup({"close"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Kinds(), (std::vector<std::string>{"window", "exit"}));
    // The close box ends Setup also while the hidden directory chooser is still loaded.
    run = RunSetup({"click ChangeDirBTN", "click CancelButton", "close"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Kinds().back(), "exit");
    EXPECT_TRUE(run.EventsOf("msgbox").empty());
    EXPECT_EQ(ExportAll(), registry);
    EXPECT_FALSE(Exists(kDefaultTarget));
}

}  // namespace
}  // namespace tamsel::test
