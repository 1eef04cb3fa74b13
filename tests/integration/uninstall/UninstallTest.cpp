#include "platform/sandbox/SqliteRegistry.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

const std::string kFolder = kInstallFolder;
const std::string kGroup = std::string(kPrograms) + "\\Tamsel Orry";
const std::vector<std::string> kYes = {"click OKButton", "answer OK"};

using UninstallTest = SandboxTest;

// The failure report that ended the uninstaller, with its error number.
void ExpectFailureReport(const ScriptRun& run, const std::string& number) {
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0]["text"].get<std::string>().find(number), std::string::npos) << boxes[0];
}

TEST_F(UninstallTest, InstallUninstallAndLogOnLeaveTheMachineAsItWas) {
    const std::set<std::string> files = Listing();
    const std::string registry = ExportAll();
    InstallWithSetup();
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], nlohmann::json({{"event", "msgbox"},
                                        {"title", "Tamsel Orry Uninstall Complete!"},
                                        {"text",
                                         "Tamsel Orry Uninstall has completed.\r\nSome elements "
                                         "could not be deleted now.\r\nThey will be deleted when "
                                         "you reboot."},
                                        {"buttons", "OK"},
                                        {"icon", "none"},
                                        {"default", "OK"}}));
    // Until the log-on, the uninstaller and its folder wait for the batch file.
    EXPECT_TRUE(Exists(kInstalledUninstaller));
    EXPECT_FALSE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_FALSE(Exists(kGroup));

    const ProcessResult logon = Tool({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;
    EXPECT_FALSE(Exists(kFolder));
    EXPECT_FALSE(Exists("C:\\Users\\User\\AppData\\Local\\Temp\\touninst.bat"));
    EXPECT_EQ(ExportAll(), registry);
    EXPECT_EQ(Listing(), files);
}

TEST_F(UninstallTest, NoAndTheCloseBoxChangeNothingAndAnyCaseOfTheUninstallerStays) {
    InstallWithSetup();
    const std::set<std::string> files = Listing();
    const std::string registry = ExportAll();
    for (const char* answer : {"click NoButton", "close"}) {
        const ScriptRun run = RunOnMachine(kInstalledUninstaller, {answer});
        EXPECT_EQ(run.status, 0) << answer << run.err;
        EXPECT_TRUE(run.EventsOf("msgbox").empty()) << answer;
        EXPECT_EQ(Listing(), files) << answer;
        EXPECT_EQ(ExportAll(), registry) << answer;
    }
    // Started under another name, the uninstaller still spares every case of its own.
    PutFile(kFolder + "\\UNINSTALL.EXE.old");
    std::filesystem::rename(Host(kInstalledUninstaller), Host(kFolder) / "Uninstall.EXE");
    const ScriptRun run = RunOnMachine(kFolder + "\\Uninstall.EXE", kYes);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Exists(kFolder + "\\Uninstall.EXE"));
    EXPECT_FALSE(Exists(kFolder + "\\UNINSTALL.EXE.old"));
}

TEST_F(UninstallTest, TheBatchFileIsWrittenByteForByteOverAnOldOne) {
    InstallWithSetup();
    machine_->SetEnvironment("TEMP", "C:\\TEMP");
    PutFile("C:\\TEMP\\touninst.bat", std::string(1000, '#') + "\r\n");
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.EventsOf("msgbox").size(), 1u);  // no message about the missing Run value
    EXPECT_EQ(Read("C:\\TEMP\\touninst.bat"),
              "del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"\r\n"
              "rmdir \"C:\\Program Files\\Tamsel Orry\"\r\n"
              "del \"C:\\TEMP\\touninst.bat\"");
    EXPECT_EQ(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"),
              "\"C:\\TEMP\\touninst.bat\"");
}

TEST_F(UninstallTest, LeftoversDecideWhatTheLogOnCanRemove) {
    // Installed in a path with spaces and a group shared with another program.
    PutFolder("D:\\My Apps");
    const ScriptRun setup = RunSetup({"click ChangeDirBTN", "set Dir D:\\My Apps\\Tamsel Orry",
                                      "click OKButton", "click OKBTN", "answer No"});
    ASSERT_EQ(setup.status, 0) << setup.err;
    const std::string folder = "D:\\My Apps\\Tamsel Orry";
    PutFile(folder + "\\settings.ini");
    machine_->SetReadOnly(folder + "\\settings.ini", true);
    PutFile(folder + "\\plugins\\extra.dll");
    PutFile(kGroup + "\\My notes.lnk");
    PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry");

    const ScriptRun run = RunOnMachine(folder + "\\uninstall.exe", kYes);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Exists(folder + "\\settings.ini"));       // read-only files go
    EXPECT_TRUE(Exists(folder + "\\plugins\\extra.dll"));  // subfolders are not visited
    EXPECT_TRUE(Exists(kGroup + "\\My notes.lnk"));
    EXPECT_FALSE(Exists(kGroup + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry"));

    const ProcessResult logon = Tool({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;
    // Wine's cmd words the refusal of rmdir without "The"; Windows' cmd, which the sandbox
    // follows, with it.
    const char* notEmpty = UnderWine() ? "Directory is not empty." : "The directory is not empty.";
    EXPECT_NE(logon.err.find(notEmpty), std::string::npos) << logon.err;
    EXPECT_FALSE(Exists(folder + "\\uninstall.exe"));
    EXPECT_TRUE(Exists(folder + "\\plugins\\extra.dll"));
}

TEST_F(UninstallTest, AFileInUseStopsTheRemovalBeforeTheRecordGoes) {
    InstallWithSetup();
    machine_->SetInUse(kFolder + "\\TamselOrry.exe", true);
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    ExpectFailureReport(run, "70");
    // The record stays until what it describes is gone, so that the removal can be run again.
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kAppPathsKey));
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_TRUE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
}

TEST_F(UninstallTest, WithoutTheScriptingHostTheRemovalStopsBeforeAnythingGoes) {
    InstallWithSetup();
    machine_->SetScriptingHostAvailable(false);
    ExpectFailureReport(RunOnMachine(kInstalledUninstaller, kYes), "429");
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kAppPathsKey));
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_TRUE(Exists(kGroup + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(kFolder + "\\TamselOrry.exe"));

    // With the scripting host back, a second run removes the installation.
    machine_->SetScriptingHostAvailable(true);
    const ScriptRun again = RunOnMachine(kInstalledUninstaller, kYes);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_FALSE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

TEST_F(UninstallTest, WithoutARecordTheUninstallerFinishesTheRemovalFromItsOwnFolder) {
    InstallWithSetup();
    // What a removal that stopped after the record was gone leaves behind.
    DeleteKey(reg::kLocalMachine, kAppPathsKey);
    DeleteKey(reg::kLocalMachine, kUninstallKey);
    ASSERT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    PutFile(kFolder + "\\notes.txt", "mine");
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.EventsOf("msgbox").at(0)["title"], "Tamsel Orry Uninstall Complete!");
    EXPECT_FALSE(Exists(kFolder + "\\TamselOrry.exe"));
    // Nothing says Setup made the folder: the user's file stays, and so does the folder.
    Tool({"logon"});
    EXPECT_FALSE(Exists(kInstalledUninstaller));
    EXPECT_EQ(Read(kFolder + "\\notes.txt"), "mine");
}

TEST_F(UninstallTest, AStartMenuGroupTheRuleRefusesIsLeftAloneAndSaidSo) {
    InstallWithSetup();
    PutFile(std::string(kPrograms) + "\\Lead\\Tamsel Orry.lnk");
    // As an older Setup recorded it.
    PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", "\\Lead");
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0]["title"], "Tamsel Orry Uninstall Complete!");
    EXPECT_NE(boxes[0]["text"].get<std::string>().find("\\Lead"), std::string::npos);
    EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Lead\\Tamsel Orry.lnk"));
    // The rest of the removal is done.
    EXPECT_FALSE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
}

}  // namespace
}  // namespace tamsel::test
