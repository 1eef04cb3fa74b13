#include <filesystem>

#include "support/Lnkinfo.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

const std::string kTarget = kDefaultTarget;
const std::string kUninstallKeyName = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;
const std::string kAppPathsKeyName = std::string("HKEY_LOCAL_MACHINE\\") + kAppPathsKey;
const std::string kProgramsFolder = std::string(kPrograms) + "\\";

using InstallTest = SandboxTest;

TEST_F(InstallTest, AFreshMachineGetsTheFilesTheRegistryRecordAndTwoShortcuts) {
    const ScriptRun run = RunSetup({"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The finish message, answered No: nothing is started.
    EXPECT_EQ(run.EventsOf("msgbox"),
              std::vector{MessageBoxEvent(
                  "Tamsel Orry Setup Completed!",
                  "Tamsel Orry Setup has finished.\r\nDo you want to run Tamsel Orry now?", "YesNo",
                  "none", "Yes")});
    EXPECT_TRUE(run.EventsOf("start").empty());

    for (const char* name : {"uninstall.exe", "TamselOrry.exe"}) {
        EXPECT_EQ(Read(kTarget + name), ReadHostFile(BuiltFile(std::string("dist/") + name)))
            << name;
    }
    EXPECT_EQ(ExportKey(kUninstallKeyName),
              (KeyValues{{"ApplicationName", Sz("TamselOrry.exe")},
                         {"AppToUninstall", Sz("TamselOrry.exe")},
                         {"DisplayName", Sz("Tamsel Orry")},
                         {"UninstallString", Sz(kTarget + "uninstall.exe")},
                         {"InstallFolderCreated", Sz("1")}}));
    EXPECT_EQ(ExportKey(kAppPathsKeyName), (KeyValues{{"@", Sz(kTarget + "TamselOrry.exe")},
                                                      {"Path", Sz(kTarget)},
                                                      {"StartMenuGroup", Sz("Tamsel Orry")}}));

    // The shortcuts, read back by an independent reader: a normal window, no hot key.
    for (const auto& [file, program, description] :
         {std::tuple{"Tamsel Orry.lnk", "TamselOrry.exe", "Tamsel Orry"},
          std::tuple{"Uninstall Tamsel Orry.lnk", "Uninstall.exe", "Uninstall Tamsel Orry"}}) {
        SCOPED_TRACE(file);
        auto properties = LnkinfoProperties(Host(kProgramsFolder + "Tamsel Orry\\" + file));
        EXPECT_EQ(properties["Local path"], kTarget + program);
        EXPECT_EQ(properties["Icon location"], kTarget + program);
        EXPECT_EQ(properties["Description"], description);
        EXPECT_EQ(properties["Working directory"], kTarget);
        EXPECT_EQ(properties["ShowCommand"], "1");
        EXPECT_EQ(properties["HotKey"], "0");
    }
}

TEST_F(InstallTest, ExistingDirectoryAppPathsAndGroupsAreReusedWithoutLosingTheirContents) {
    PutFile(kTarget + "notes.txt", "mine");
    PutFile(kTarget + "TamselOrry.exe", "old version");
    PutValue(reg::kLocalMachine, kAppPathsKey, "", "C:\\Old\\TamselOrry.exe");
    PutValue(reg::kLocalMachine, kAppPathsKey, "Extra", "kept");

    ScriptRun run = RunSetup({"set StartMenuGroup Accessories", "click OKBTN", "answer Yes"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.EventsOf("msgbox").size(), 1u);  // an existing directory is no reason to ask
    EXPECT_EQ(Read(kTarget + "notes.txt"), "mine");
    EXPECT_EQ(Read(kTarget + "TamselOrry.exe"), ReadHostFile(BuiltFile("dist/TamselOrry.exe")));
    EXPECT_EQ(ExportKey(kAppPathsKeyName), (KeyValues{{"@", Sz(kTarget + "TamselOrry.exe")},
                                                      {"Extra", Sz("kept")},
                                                      {"Path", Sz(kTarget)},
                                                      {"StartMenuGroup", Sz("Accessories")}}));
    // Yes starts the installed application by its full path, unquoted.
    const auto starts = run.EventsOf("start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0]["command"], kTarget + "TamselOrry.exe");

    // A second installation into another group leaves the first group (with another program's
    // shortcut) alone, and a value of the uninstall entry deleted by hand is not written again.
    DeleteValue(reg::kLocalMachine, kUninstallKey, "DisplayName");
    run = RunSetup({"set StartMenuGroup Games", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ControlOf(WindowStates(run, "Installer").at(0), "StartMenuGroup")["text"],
              "Tamsel Orry");  // proposed again, whatever was recorded
    for (const char* link :
         {"Games\\Tamsel Orry.lnk", "Games\\Uninstall Tamsel Orry.lnk",
          "Accessories\\Tamsel Orry.lnk", "Accessories\\Uninstall Tamsel Orry.lnk",
          "Accessories\\Notepad.lnk"}) {
        EXPECT_TRUE(Exists(kProgramsFolder + link)) << link;
    }
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz("Games"));
    EXPECT_EQ(ExportKey(kUninstallKeyName)->count("DisplayName"), 0u);

    // No group: the shortcuts lie directly in the Programs folder.
    run = RunSetup({"set StartMenuGroup", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Exists(kProgramsFolder + "Uninstall Tamsel Orry.lnk"));
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz(""));
}

// The files are copied before the record is written: without the uninstaller beside Setup, the
// new directory stays empty and nothing is recorded.
TEST_F(InstallTest, AMissingUninstallerNextToSetupStopsAfterTheDirectoryIsMade) {
    const fs::path media = scratch_.Path() / "media";
    fs::create_directories(media);
    fs::copy_file(BuiltFile("dist/Setup"), media / "Setup");
    fs::copy_file(BuiltFile("dist/TamselOrry.exe"), media / "TamselOrry.exe");
    ExpectFailureReport(RunSetup({"click OKBTN", "answer OK"}, media / "Setup"), "53");
    EXPECT_TRUE(fs::is_empty(Host(kTarget)));  // made (is_empty throws if not) and empty
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kAppPathsKey));
}

// One level only is made: a target whose parent is missing stops Setup before anything is written
// (here under Wine too); a group whose parent is missing keeps what was done before it.
TEST_F(InstallTest, AFolderThatCannotBeMadeStopsSetup) {
    const MachineState before = State();
    ExpectFailureReport(RunSetup({"click ChangeDirBTN", "set Dir D:\\Missing\\Tamsel Orry",
                                  "click OKButton", "click OKBTN", "answer OK"}),
                        "76");
    ExpectState(before);
    ExpectFailureReport(RunSetup({"set StartMenuGroup Tools\\Extra", "click OKBTN", "answer OK"}),
                        "76");
    EXPECT_TRUE(Exists(kTarget + "TamselOrry.exe"));
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kAppPathsKey, "Path"));
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup"));
    EXPECT_FALSE(Exists(kProgramsFolder + "Tools"));
}

TEST_F(InstallTest, OnlyAPendingRemovalOfTheSameFolderIsCancelled) {
    const std::string batch = "C:\\Users\\User\\AppData\\Local\\Temp\\touninst.bat";
    for (const auto& [folder, cancelled] :
         {std::pair{"D:\\Other", false}, std::pair{"c:/program files/TAMSEL ORRY", true}}) {
        SCOPED_TRACE(folder);
        PutFile(batch, "del \"" + std::string(folder) + "\\uninstall.exe\"\r\nrmdir \"" + folder +
                           "\"\r\ndel \"" + batch + "\"");
        PutValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall", "\"" + batch + "\"");
        ASSERT_EQ(RunSetup({"click OKBTN", "answer No"}).status, 0);
        // The same folder, however it is spelled, is installed again: its removal is cancelled.
        EXPECT_EQ(Exists(batch), !cancelled);
        EXPECT_EQ(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall").has_value(),
                  !cancelled);
    }
}

}  // namespace
}  // namespace tamsel::test
