#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

const std::string kFolder = kInstallFolder;
const std::string kGroup = std::string(kPrograms) + "\\Tamsel Orry";
const std::vector<std::string> kYes = {"click OKButton", "answer OK"};
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// An installation folder, Start-menu group and temporary folder in Latin with accents (in the OEM
// code page), CJK (not in it), and with a character outside the BMP.
struct FolderNames {
    std::string what;
    std::string folder;
    std::string group;
    std::string temp;
};

const FolderNames kNames[] = {
    {"plain", "C:\\Program Files\\Tamsel Orry", "Tamsel Orry", "C:\\Temp"},
    {"accented", "C:\\Jos\xC3\xA9 Caf\xC3\xA9", "Jos\xC3\xA9 Caf\xC3\xA9",
     "C:\\Users\\User\\Temp\xC3\xA9"},
    {"cjk", "C:\\\xE6\xB8\xB8\xE6\x88\x8F", "\xE6\xB8\xB8\xE6\x88\x8F",
     "C:\\\xE4\xB8\xB4\xE6\x97\xB6"},
    {"astral", "C:\\\xF0\x9D\x84\x9E Music", "\xF0\x9D\x84\x9E Music", "C:\\Temp \xF0\x9D\x84\x9E"},
};

void PrintTo(const FolderNames& names, std::ostream* out) { *out << names.what; }

class FolderNameRoundTripTest : public SandboxTest,
                                public ::testing::WithParamInterface<FolderNames> {};

// Install, removal and the log-on that runs the clean-up batch file leave the machine as it was.
TEST_P(FolderNameRoundTripTest, InstallRemovalAndLogOnLeaveNothing) {
    const auto& [what, folder, group, temp] = GetParam();
    PutFolder(temp);
    PutValue(reg::kCurrentUser, "Environment", "TEMP", temp);
    PutValue(reg::kLocalMachine, kRunKey, "Other", "other.exe");
    const MachineState before = State();
    // A stale batch file, longer than the new one: replaced whole, it deletes itself. The
    // application's start-up entries and the group's menu order go with the installation.
    PutFile(temp + "\\touninst.bat", std::string(1000, '#') + "\r\n");
    PutValue(reg::kLocalMachine, kRunKey, "Tamsel Orry", folder + "\\TamselOrry.exe");
    PutKey(reg::kCurrentUser, std::string(kRunKey) + "\\TamselOrry");
    PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\" + group);

    const ScriptRun setup = RunSetup({"click ChangeDirBTN", "set Dir " + folder, "click OKButton",
                                      "set StartMenuGroup " + group, "click OKBTN", "answer No"});
    ASSERT_EQ(setup.status, 0) << setup.err;
    EXPECT_EQ(StringValue(reg::kLocalMachine, kAppPathsKey, "Path"), folder + "\\");
    EXPECT_EQ(StringValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup"), group);
    EXPECT_TRUE(Exists(std::string(kPrograms) + "\\" + group + "\\Tamsel Orry.lnk"));

    // Started as Windows starts it: from the recorded command.
    const auto uninstallString = StringValue(reg::kLocalMachine, kUninstallKey, "UninstallString");
    ASSERT_EQ(uninstallString, folder + "\\uninstall.exe");
    const ScriptRun removal = RunOnMachine(*uninstallString, kYes);
    ASSERT_EQ(removal.status, 0) << removal.err << nlohmann::json(removal.events).dump();
    EXPECT_EQ(removal.EventsOf("msgbox"),
              std::vector{MessageBoxEvent("Tamsel Orry Uninstall Complete!",
                                          "Tamsel Orry Uninstall has completed.\r\nSome elements "
                                          "could not be deleted now.\r\nThey will be deleted "
                                          "when you reboot.",
                                          "OK", "none", "OK")});
    // The uninstaller and its folder wait for the batch file, which the log-on runs: a line that
    // fails (a name cmd cannot read, a file already gone) writes to its error output.
    EXPECT_EQ(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"),
              "\"" + temp + "\\touninst.bat\"");

    const ProcessResult logon = Tool({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;
    EXPECT_EQ(logon.err, "");  // no line of the batch file missed
    ExpectState(before);
}

INSTANTIATE_TEST_SUITE_P(Names, FolderNameRoundTripTest, ::testing::ValuesIn(kNames),
                         [](const auto& row) { return row.param.what; });

using UninstallTest = SandboxTest;

// No, the close box, and a missing scripting host (reported) change nothing; a second run then
// removes the installation.
TEST_F(UninstallTest, NoTheCloseBoxOrNoScriptingHostChangeNothingAndAnyCaseOfItStays) {
    InstallWithSetup();
    const MachineState installed = State();
    for (const char* answer : {"click NoButton", "close"}) {
        SCOPED_TRACE(answer);
        const ScriptRun run = RunOnMachine(kInstalledUninstaller, {answer});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.EventsOf("msgbox").empty());
        ExpectState(installed);
    }
    SetScriptingHostAvailable(false);
    ExpectFailureReport(RunOnMachine(kInstalledUninstaller, kYes), "429");
    ExpectState(installed);
    SetScriptingHostAvailable(true);
    // Started under another name, the uninstaller still spares every case of its own.
    PutFile(kFolder + "\\UNINSTALL.EXE.old");
    std::filesystem::rename(Host(kInstalledUninstaller), Host(kFolder) / "Uninstall.EXE");
    const ScriptRun run = RunOnMachine(kFolder + "\\Uninstall.EXE", kYes);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Exists(kFolder + "\\Uninstall.EXE"));
    EXPECT_FALSE(Exists(kFolder + "\\UNINSTALL.EXE.old"));
    EXPECT_FALSE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

TEST_F(UninstallTest, LeftoversDecideWhatTheLogOnCanRemove) {
    // Installed in a path with spaces, with a group that holds another program's folder.
    PutFolder("D:\\My Apps");
    const ScriptRun setup = RunSetup({"click ChangeDirBTN", "set Dir D:\\My Apps\\Tamsel Orry",
                                      "click OKButton", "click OKBTN", "answer No"});
    ASSERT_EQ(setup.status, 0) << setup.err;
    const std::string folder = "D:\\My Apps\\Tamsel Orry";
    PutFile(folder + "\\settings.ini");
    SetReadOnly(folder + "\\settings.ini");
    PutFile(folder + "\\plugins\\extra.dll");
    PutFile(kGroup + "\\Other\\Other.lnk");
    PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry");
    PutFolder("C:\\TEMP");
    PutValue(reg::kCurrentUser, "Environment", "TEMP", "C:\\TEMP");

    const ScriptRun run = RunOnMachine(folder + "\\uninstall.exe", kYes);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read("C:\\TEMP\\touninst.bat"),
              "del \"D:\\My Apps\\Tamsel Orry\\uninstall.exe\"\r\n"
              "rmdir \"D:\\My Apps\\Tamsel Orry\"\r\n"
              "del \"C:\\TEMP\\touninst.bat\"");
    EXPECT_FALSE(Exists(folder + "\\settings.ini"));  // read-only files go
    EXPECT_TRUE(Exists(kGroup + "\\Other\\Other.lnk"));
    EXPECT_FALSE(Exists(kGroup + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry"));

    const ProcessResult logon = Tool({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;
    // Wine's cmd words the refusal of rmdir without "The"; Windows' cmd and the sandbox with it.
    const char* notEmpty = UnderWine() ? "Directory is not empty." : "The directory is not empty.";
    EXPECT_NE(logon.err.find(notEmpty), std::string::npos) << logon.err;
    EXPECT_FALSE(Exists(folder + "\\uninstall.exe"));
    EXPECT_TRUE(Exists(folder + "\\plugins\\extra.dll"));  // subfolders are not visited
}

TEST_F(UninstallTest, ATemporaryFolderNoFormOfWhichCmdCanReadIsReportedAndNothingIsRegistered) {
    // A temporary folder outside the OEM code page that does not exist has no short name.
    PutValue(reg::kCurrentUser, "Environment", "TEMP", "C:\\\xE4\xB8\xB4\xE6\x97\xB6");
    InstallWithSetup();
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    ExpectFailureReport(run, "52");
    EXPECT_NE(
        run.EventsOf("msgbox").at(0)["text"].get<std::string>().find("\xE4\xB8\xB4\xE6\x97\xB6"),
        std::string::npos);
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
}

}  // namespace
}  // namespace tamsel::test
