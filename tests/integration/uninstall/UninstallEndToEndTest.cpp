#include "UninstallHarness.h"

namespace tamsel::test {
namespace {

const std::string kCompletion =
    "Tamsel Orry Uninstall has completed.\r\nSome elements could not be deleted now.\r\nThey "
    "will be deleted when you reboot.";

TEST_F(UninstallTest, InstallUninstallAndLogOnLeaveTheMachineAsItWas) {
    const std::set<std::string> filesBefore = Listing();
    const std::string registryBefore = ExportAll();

    InstallWithSetup();
    const ScriptRun run = RunUninstaller({"click OKButton", "answer OK"});
    ASSERT_EQ(run.status, 0) << run.err << run.problem;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["title"], "Tamsel Orry Uninstall Complete!");
    EXPECT_EQ(boxes[0]["text"], kCompletion);
    EXPECT_EQ(boxes[0]["buttons"], "OK");
    EXPECT_EQ(boxes[0]["icon"], "none");

    // Until the log-on, the uninstaller and its folder wait for the batch file.
    EXPECT_TRUE(Exists(kInstalledUninstaller));
    EXPECT_FALSE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));
    EXPECT_FALSE(Exists(std::string(kProgramsFolder) + "\\Tamsel Orry"));

    const ProcessResult logon = ToolResult({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;

    EXPECT_FALSE(Exists(kInstallFolder));
    EXPECT_FALSE(Exists("C:\\Users\\User\\AppData\\Local\\Temp\\touninst.bat"));
    EXPECT_EQ(ExportAll(), registryBefore);
    EXPECT_EQ(Listing(), filesBefore);
}

TEST_F(UninstallTest, NoAndTheCloseBoxChangeNothing) {
    InstallWithSetup();
    const std::set<std::string> files = Listing();
    const std::string registry = ExportAll();
    for (const auto& lines :
         {std::vector<std::string>{"click NoButton"}, std::vector<std::string>{"close"}}) {
        const ScriptRun run = RunUninstaller(lines);
        EXPECT_EQ(run.status, 0) << lines[0] << run.err;
        EXPECT_TRUE(run.EventsOf("msgbox").empty()) << lines[0];
        EXPECT_EQ(Listing(), files) << lines[0];
        EXPECT_EQ(ExportAll(), registry) << lines[0];
    }
}

TEST_F(UninstallTest, TheBatchFileIsWrittenByteForByteOverAnOldOne) {
    InstallWithSetup();
    Tool({"env", "TEMP=C:\\TEMP"});
    PutFile("C:\\TEMP\\touninst.bat", std::string(1000, '#') + "\r\n");
    // The Run value and the user's run key do not exist: no message about them.
    const ScriptRun run = RunUninstaller({"click OKButton", "answer OK"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.EventsOf("msgbox").size(), 1u);
    EXPECT_EQ(Read("C:\\TEMP\\touninst.bat"),
              "del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"\r\n"
              "rmdir \"C:\\Program Files\\Tamsel Orry\"\r\n"
              "del \"C:\\TEMP\\touninst.bat\"");
    EXPECT_EQ(
        StringValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                    "Tamsel Orry Uninstall"),
        "\"C:\\TEMP\\touninst.bat\"");
}

TEST_F(UninstallTest, LeftoversDecideWhatTheLogOnCanRemove) {
    InstallWithSetup();
    const std::string folder = kInstallFolder;
    PutFile(folder + "\\settings.ini");
    Tool({"attrib", "+r", folder + "\\settings.ini"});
    PutFile(folder + "\\plugins\\extra.dll");
    PutFile(std::string(kProgramsFolder) + "\\Tamsel Orry\\My notes.lnk");
    CreateKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry");

    const ScriptRun run = RunUninstaller({"click OKButton", "answer OK"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Exists(folder + "\\settings.ini"));       // read-only files go
    EXPECT_TRUE(Exists(folder + "\\plugins\\extra.dll"));  // subfolders are not visited
    // A group that holds someone else's shortcut stays, with its menu order.
    EXPECT_TRUE(Exists(std::string(kProgramsFolder) + "\\Tamsel Orry\\My notes.lnk"));
    EXPECT_FALSE(Exists(std::string(kProgramsFolder) + "\\Tamsel Orry\\Tamsel Orry.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry"));

    const ProcessResult logon = ToolResult({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;
    EXPECT_NE(logon.err.find("The directory is not empty."), std::string::npos) << logon.err;
    EXPECT_FALSE(Exists(kInstalledUninstaller));
    EXPECT_TRUE(Exists(folder + "\\plugins\\extra.dll"));
}

TEST_F(UninstallTest, AFileInUseStopsTheRemovalWithAFailureReport) {
    InstallWithSetup();
    Tool({"lock", std::string(kInstallFolder) + "\\TamselOrry.exe"});

    const ScriptRun run = RunUninstaller({"click OKButton", "answer OK"});
    EXPECT_EQ(run.status, 1);
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0]["text"].get<std::string>().find("70"), std::string::npos) << boxes[0];
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kAppPathsKey));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_FALSE(Exists(std::string(kProgramsFolder) + "\\Tamsel Orry"));
    EXPECT_TRUE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));
    EXPECT_EQ(
        StringValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                    "Tamsel Orry Uninstall"),
        "<missing>");
}

TEST_F(UninstallTest, WithoutTheScriptingHostTheRemovalStopsAfterTheRegistryRecord) {
    InstallWithSetup();
    Tool({"wsh", "off"});

    const ScriptRun run = RunUninstaller({"click OKButton", "answer OK"});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.EventsOf("msgbox").size(), 1u);
    EXPECT_NE(run.EventsOf("msgbox")[0]["text"].get<std::string>().find("429"), std::string::npos);
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kAppPathsKey));
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_TRUE(Exists(std::string(kProgramsFolder) + "\\Tamsel Orry\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));

    // A second run finds no record and deletes no file.
    Tool({"wsh", "on"});
    const std::set<std::string> files = Listing();
    const ScriptRun again = RunUninstaller({"click OKButton", "answer OK"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(Listing(), files);
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

}  // namespace
}  // namespace tamsel::test
