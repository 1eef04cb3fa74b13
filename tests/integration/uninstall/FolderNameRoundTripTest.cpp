// Folder names in any script survive the whole round trip: install, removal and the log-on
// that runs the clean-up batch file, with TEMP named in the same kind of characters.
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

struct FolderNames {
    const char* what;
    const char* folder;  // the installation folder, below C:\ (no trailing "\")
    const char* group;   // the Start-menu group
    const char* temp;    // the temporary folder
};

// Latin with accents (in the OEM code page), Cyrillic and CJK (not in it), and a character
// outside the Basic Multilingual Plane.
const FolderNames kNames[] = {
    {"accented", "C:\\Jos\xC3\xA9 Caf\xC3\xA9", "Jos\xC3\xA9 Caf\xC3\xA9",
     "C:\\Users\\User\\Temp\xC3\xA9"},
    {"cyrillic", "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B",
     "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B",
     "C:\\\xD0\x92\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5"},
    {"cjk", "C:\\\xE6\xB8\xB8\xE6\x88\x8F", "\xE6\xB8\xB8\xE6\x88\x8F",
     "C:\\\xE4\xB8\xB4\xE6\x97\xB6"},
    {"astral", "C:\\\xF0\x9D\x84\x9E Music", "\xF0\x9D\x84\x9E Music", "C:\\Temp \xF0\x9D\x84\x9E"},
};

void PrintTo(const FolderNames& names, std::ostream* out) { *out << names.what; }

class FolderNameRoundTripTest : public SandboxTest,
                                public ::testing::WithParamInterface<FolderNames> {};

TEST_P(FolderNameRoundTripTest, InstallRemovalAndLogOnLeaveNothing) {
    const FolderNames& names = GetParam();
    const std::string folder = names.folder;
    const std::string group = std::string(kPrograms) + "\\" + names.group;
    PutFolder(names.temp);
    machine_->SetEnvironment("TEMP", names.temp);
    const std::set<std::string> files = Listing();
    const std::string registry = ExportAll();

    const ScriptRun setup =
        RunSetup({"click ChangeDirBTN", "set Dir " + folder, "click OKButton",
                  std::string("set StartMenuGroup ") + names.group, "click OKBTN", "answer No"});
    ASSERT_EQ(setup.status, 0) << setup.err;
    const auto uninstallEntry = ExportKey(std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey);
    const auto appPaths = ExportKey(std::string("HKEY_LOCAL_MACHINE\\") + kAppPathsKey);
    ASSERT_TRUE(uninstallEntry && appPaths);
    EXPECT_EQ(uninstallEntry->at("UninstallString"), Sz(folder + "\\uninstall.exe"));
    EXPECT_EQ(appPaths->at("Path"), Sz(folder + "\\"));
    EXPECT_EQ(appPaths->at("StartMenuGroup"), Sz(names.group));
    EXPECT_TRUE(Exists(group + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(group + "\\Uninstall Tamsel Orry.lnk"));

    // Started as Windows starts it: from the recorded command.
    const auto uninstallString = StringValue(reg::kLocalMachine, kUninstallKey, "UninstallString");
    ASSERT_TRUE(uninstallString);
    const ScriptRun removal = RunOnMachine(*uninstallString, {"click OKButton", "answer OK"});
    ASSERT_EQ(removal.status, 0) << removal.err << nlohmann::json(removal.events).dump();
    EXPECT_EQ(removal.EventsOf("msgbox").at(0)["title"], "Tamsel Orry Uninstall Complete!");
    EXPECT_FALSE(Exists(group + "\\Tamsel Orry.lnk"));
    EXPECT_FALSE(Exists(group + "\\Uninstall Tamsel Orry.lnk"));
    EXPECT_EQ(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"),
              "\"" + std::string(names.temp) + "\\touninst.bat\"");

    const ProcessResult logon = Tool({"logon"});
    EXPECT_EQ(logon.status, 0) << logon.err;
    EXPECT_EQ(logon.err, "");  // no line of the batch file missed
    EXPECT_EQ(Listing(), files);
    EXPECT_EQ(ExportAll(), registry);
}

INSTANTIATE_TEST_SUITE_P(Names, FolderNameRoundTripTest, ::testing::ValuesIn(kNames),
                         [](const auto& row) { return std::string(row.param.what); });

using FolderNameTest = SandboxTest;

TEST_F(FolderNameTest, AFolderNoFormOfWhichCmdCanReadIsReportedAndNothingIsRegistered) {
    // A temporary folder outside the OEM code page that does not exist has no short name.
    machine_->SetEnvironment("TEMP", "C:\\\xE4\xB8\xB4\xE6\x97\xB6");
    InstallWithSetup();
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, {"click OKButton", "answer OK"});
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string text = boxes[0]["text"];
    EXPECT_NE(text.find("52"), std::string::npos) << text;
    EXPECT_NE(text.find("\xE4\xB8\xB4\xE6\x97\xB6"), std::string::npos) << text;
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
}

}  // namespace
}  // namespace tamsel::test
