#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/Lnkinfo.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kTarget = kDefaultTarget;
const std::string kUninstallKeyName = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;
const std::string kAppPathsKeyName = std::string("HKEY_LOCAL_MACHINE\\") + kAppPathsKey;

std::string HostFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using InstallTest = SandboxTest;

// The report of the failure that ended Setup: the last message box, with the error number.
void ExpectFailureReport(const ScriptRun& run, const std::string& number) {
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back()["text"].get<std::string>().find(number), std::string::npos)
        << boxes.back();
    EXPECT_TRUE(run.EventsOf("start").empty());
}

TEST_F(InstallTest, AFreshMachineGetsTheFilesTheRegistryRecordAndTwoShortcuts) {
    const ScriptRun run = RunSetup({"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json window = WindowStates(run, "Installer").at(0);
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], kTarget);
    EXPECT_EQ(ControlOf(window, "StartMenuGroup")["text"], "Tamsel Orry");
    const json groups = ControlOf(window, "StartMenuGroup")["list"];
    EXPECT_NE(std::find(groups.begin(), groups.end(), "Accessories"), groups.end()) << groups;

    // The finish message, answered No: nothing is started.
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], json({{"event", "msgbox"},
                              {"title", "Tamsel Orry Setup Completed!"},
                              {"text",
                               "Tamsel Orry Setup has finished.\r\nDo you want to run "
                               "Tamsel Orry now?"},
                              {"buttons", "YesNo"},
                              {"icon", "none"},
                              {"default", "Yes"}}));
    EXPECT_TRUE(run.EventsOf("start").empty());

    for (const char* name : {"uninstall.exe", "TamselOrry.exe"}) {
        EXPECT_EQ(Read(kTarget + name), HostFile(BuiltFile(std::string("dist/") + name))) << name;
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

    // The shortcuts, read back by an independent reader.
    const std::string group = std::string(kPrograms) + "\\Tamsel Orry\\";
    for (const auto& [file, program, description] :
         {std::tuple{"Tamsel Orry.lnk", "TamselOrry.exe", "Tamsel Orry"},
          std::tuple{"Uninstall Tamsel Orry.lnk", "Uninstall.exe", "Uninstall Tamsel Orry"}}) {
        auto properties = LnkinfoProperties(Host(group + file));
        EXPECT_EQ(properties["Local path"], kTarget + program) << file;
        EXPECT_EQ(properties["Icon location"], kTarget + program) << file;
        EXPECT_EQ(properties["Description"], description) << file;
        EXPECT_EQ(properties["Working directory"], kTarget) << file;
        EXPECT_EQ(properties["ShowCommand"], "1") << file;  // a normal window
        EXPECT_EQ(properties["HotKey"], "0") << file;       // none
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
    EXPECT_EQ(Read(kTarget + "TamselOrry.exe"), HostFile(BuiltFile("dist/TamselOrry.exe")));
    auto appPaths = ExportKey(kAppPathsKeyName).value_or(KeyValues{});
    EXPECT_EQ(appPaths["@"], Sz(kTarget + "TamselOrry.exe"));
    EXPECT_EQ(appPaths["Extra"], Sz("kept"));
    EXPECT_EQ(appPaths["StartMenuGroup"], Sz("Accessories"));
    const std::string programs = std::string(kPrograms) + "\\";
    EXPECT_TRUE(Exists(programs + "Accessories\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(programs + "Accessories\\Notepad.lnk"));
    // Yes starts the installed application by its full path, unquoted.
    const auto starts = run.EventsOf("start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0]["command"], kTarget + "TamselOrry.exe");

    // A second installation into another group leaves the first group alone, and a value of
    // the uninstall entry deleted by hand stays deleted: that entry is not written again.
    DeleteValue(reg::kLocalMachine, kUninstallKey, "DisplayName");
    run = RunSetup({"set StartMenuGroup Games", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ControlOf(WindowStates(run, "Installer").at(0), "StartMenuGroup")["text"],
              "Tamsel Orry");
    for (const char* file : {"Tamsel Orry.lnk", "Uninstall Tamsel Orry.lnk"}) {
        EXPECT_TRUE(Exists(programs + "Games\\" + file) &&
                    Exists(programs + "Accessories\\" + file))
            << file;
    }
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz("Games"));
    EXPECT_EQ(ExportKey(kUninstallKeyName)->count("DisplayName"), 0u);

    // No group: the shortcuts lie directly in the Programs folder.
    run = RunSetup({"set StartMenuGroup", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Exists(programs + "Uninstall Tamsel Orry.lnk"));
    EXPECT_EQ(ExportKey(kAppPathsKeyName)->at("StartMenuGroup"), Sz(""));
}

TEST_F(InstallTest, AMissingParentDirectoryStopsSetupBeforeAnythingIsWritten) {
    const std::string registry = ExportAll();
    const ScriptRun run = RunSetup({"click ChangeDirBTN", "set Dir D:\\Missing\\Tamsel Orry",
                                    "click OKButton", "click OKBTN", "answer OK"});
    ExpectFailureReport(run, "76");
    EXPECT_FALSE(Exists("D:\\Missing"));
    EXPECT_EQ(ExportAll(), registry);
}

TEST_F(InstallTest, AMissingUninstallerNextToSetupStopsAfterTheDirectoryIsMade) {
    const fs::path media = scratch_.Path() / "media";
    fs::create_directories(media);
    fs::copy_file(BuiltFile("dist/Setup"), media / "Setup");
    fs::copy_file(BuiltFile("dist/TamselOrry.exe"), media / "TamselOrry.exe");
    const ScriptRun run = RunSetup({"click OKBTN", "answer OK"}, media / "Setup");
    ExpectFailureReport(run, "53");
    ASSERT_TRUE(Exists(kTarget));
    EXPECT_TRUE(fs::is_empty(Host(kTarget)));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kAppPathsKey));
}

TEST_F(InstallTest, AGroupThatCannotBeMadeStopsSetupAndKeepsWhatWasDoneBefore) {
    // A nested group whose parent is missing: one level only is created.
    ScriptRun run = RunSetup({"set StartMenuGroup Tools\\Extra", "click OKBTN", "answer OK"});
    ExpectFailureReport(run, "76");
    EXPECT_TRUE(Exists(kTarget + "TamselOrry.exe"));
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kAppPathsKey, "Path"));
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup"));
    EXPECT_FALSE(Exists(std::string(kPrograms) + "\\Tools"));

    // A group name that climbs out of the Programs folder is refused before anything is
    // changed.
    const std::set<std::string> files = Listing();
    const std::string registry = ExportAll();
    run = RunSetup({"set StartMenuGroup ..\\Escaped", "click OKBTN", "answer OK"});
    ExpectFailureReport(run, "52");
    EXPECT_EQ(Listing(), files);
    EXPECT_EQ(ExportAll(), registry);
}

TEST_F(InstallTest, OnlyAPendingRemovalOfTheSameFolderIsCancelled) {
    const std::string batch = "C:\\Users\\User\\AppData\\Local\\Temp\\touninst.bat";
    auto pending = [&](const std::string& folder) {
        PutFile(batch, "del \"" + folder + "\\uninstall.exe\"\r\nrmdir \"" + folder +
                           "\"\r\ndel \"" + batch + "\"");
        PutValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall", "\"" + batch + "\"");
    };
    // Another folder's removal stays.
    pending("D:\\Other");
    ASSERT_EQ(RunSetup({"click OKBTN", "answer No"}).status, 0);
    EXPECT_TRUE(Exists(batch));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
    // The same folder, however it is spelled, is installed again: its removal is cancelled.
    pending("c:/program files/TAMSEL ORRY");
    ASSERT_EQ(RunSetup({"click OKBTN", "answer No"}).status, 0);
    EXPECT_FALSE(Exists(batch));
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
}

}  // namespace
}  // namespace tamsel::test
