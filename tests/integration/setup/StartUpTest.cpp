#include "SetupHarness.h"

namespace tamsel::test {
namespace {

using nlohmann::json;

class StartUpTest : public SetupTest {
  protected:
    // The Installer window as the start-up leaves it; Setup is ended by "E&xit".
    json WindowAfterStartUp() {
        const ScriptRun run = RunSetup({"click CancelBTN"});
        EXPECT_EQ(run.status, 0) << run.err;
        const auto states = WindowStates(run, "Installer");
        return states.empty() ? json::object() : states.front();
    }

    void RecordInstallation(const std::string& applicationName,
                            const std::string& uninstallString) {
        SetString(reg::kLocalMachine, names::kUninstallKey, "ApplicationName", applicationName);
        SetString(reg::kLocalMachine, names::kUninstallKey, "UninstallString", uninstallString);
    }
};

TEST_F(StartUpTest, RecognisesAnEarlierInstallationOnlyByItsExactRecord) {
    RecordInstallation("TamselOrry.exe", "D:\\Apps\\Tamsel Orry\\uninstall.exe");
    json window = WindowAfterStartUp();
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], "D:\\Apps\\Tamsel Orry\\");
    EXPECT_EQ(ControlOf(window, "ChangeDirBTN")["enabled"], false);
    EXPECT_EQ(ControlOf(window, "OKBTN")["enabled"], true);
    EXPECT_EQ(ControlOf(window, "StartMenuGroup")["text"], "Tamsel Orry");

    // Only "uninstall.exe" in exactly that case is taken off the recorded command.
    RecordInstallation("TamselOrry.exe", "D:\\Apps\\Tamsel Orry\\Uninstall.exe");
    window = WindowAfterStartUp();
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"],
              "D:\\Apps\\Tamsel Orry\\Uninstall.exe");

    // A record in another case is not this program's: a new installation on the default.
    RecordInstallation("tamselorry.exe", "D:\\Apps\\Tamsel Orry\\uninstall.exe");
    window = WindowAfterStartUp();
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], kDefaultTarget);
    EXPECT_EQ(ControlOf(window, "ChangeDirBTN")["enabled"], true);
}

TEST_F(StartUpTest, ProposesTheTargetOnTheDriveOfTheStartMenu) {
    SetString(reg::kCurrentUser, kShellFoldersKey, "Start Menu",
              "E:\\Documents and Settings\\Someone\\Start Menu");
    EXPECT_EQ(ControlOf(WindowAfterStartUp(), "InstallDirectory")["caption"],
              "E:\\Program Files\\Tamsel Orry\\");

    SetString(reg::kCurrentUser, kShellFoldersKey, "Start Menu", "abc");
    EXPECT_EQ(ControlOf(WindowAfterStartUp(), "InstallDirectory")["caption"],
              "abc:\\Program Files\\Tamsel Orry\\");

    DeleteValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu");
    EXPECT_EQ(ControlOf(WindowAfterStartUp(), "InstallDirectory")["caption"], kDefaultTarget);
}

TEST_F(StartUpTest, WithoutTheScriptingHostOnlyTheMessageIsShownAndNothingChanges) {
    Tool({"wsh", "off"});
    const std::string before = ExportAll();

    const ScriptRun run = RunSetup({"answer OK"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.Kinds(), (std::vector<std::string>{"msgbox", "answer", "exit"}));
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["title"], "Tamsel Orry Install");
    EXPECT_EQ(boxes[0]["icon"], "exclamation");
    EXPECT_EQ(boxes[0]["buttons"], "OK");
    EXPECT_EQ(boxes[0]["text"],
              "ERROR: Windows Scripting Host not found.\r\n"
              "Windows Scripting Host is required for this application.\r\n"
              "Go to http://www.tamselorry.example/TamselOrry.asp for more information.");

    EXPECT_EQ(ExportAll(), before);
    EXPECT_FALSE(Exists(kDefaultTarget));
}

TEST_F(StartUpTest, ExitAndTheCloseBoxEndSetupWithoutChangingAnything) {
    const std::string before = ExportAll();

    ScriptRun run = RunSetup({"close"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Kinds(), (std::vector<std::string>{"window", "exit"}));

    // The close box ends Setup also while the hidden directory chooser is still loaded.
    run = RunSetup({"click ChangeDirBTN", "click CancelButton", "close"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Kinds().back(), "exit");
    EXPECT_TRUE(run.EventsOf("msgbox").empty());

    EXPECT_EQ(ExportAll(), before);
    EXPECT_FALSE(Exists(kDefaultTarget));
}

}  // namespace
}  // namespace tamsel::test
