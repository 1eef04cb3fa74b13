#include <fstream>
#include <iterator>

#include "SetupHarness.h"

namespace tamsel::test {
namespace {

using nlohmann::json;

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(SetupTest, FreshMachineGetsTheFilesTheRegistryRecordAndTwoShortcuts) {
    const ScriptRun run = RunSetup({"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;

    // The window as the start-up left it.
    const json window = WindowStates(run, "Installer").at(0);
    EXPECT_EQ(ControlOf(window, "InstallDirectory")["caption"], kDefaultTarget);
    for (const char* button : {"ChangeDirBTN", "OKBTN", "CancelBTN"}) {
        EXPECT_EQ(ControlOf(window, button)["enabled"], true) << button;
    }
    EXPECT_EQ(ControlOf(window, "StartMenuGroup")["text"], "Tamsel Orry");
    const json groups = ControlOf(window, "StartMenuGroup")["list"];
    EXPECT_NE(std::find(groups.begin(), groups.end(), "Accessories"), groups.end()) << groups;

    // The finish message, answered No: nothing is started.
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["title"], "Tamsel Orry Setup Completed!");
    EXPECT_EQ(boxes[0]["text"],
              "Tamsel Orry Setup has finished.\r\nDo you want to run Tamsel Orry now?");
    EXPECT_EQ(boxes[0]["buttons"], "YesNo");
    EXPECT_EQ(boxes[0]["icon"], "none");
    EXPECT_EQ(boxes[0]["default"], "Yes");
    EXPECT_TRUE(run.EventsOf("start").empty());

    // The two files, copied from Setup's folder.
    const std::string target = kDefaultTarget;
    for (const char* name : {"uninstall.exe", "TamselOrry.exe"}) {
        ASSERT_TRUE(Exists(target + name)) << name;
        EXPECT_EQ(Contents(HostPath(target + name)), Contents(BuiltDistFile(name))) << name;
    }

    // The registry record, exactly.
    EXPECT_EQ(ExportKey(kUninstallKeyName),
              (KeyValues{{"ApplicationName", Sz("TamselOrry.exe")},
                         {"AppToUninstall", Sz("TamselOrry.exe")},
                         {"DisplayName", Sz("Tamsel Orry")},
                         {"UninstallString", Sz(target + "uninstall.exe")}}));
    EXPECT_EQ(ExportKey(kAppPathsKeyName), (KeyValues{{"@", Sz(target + "TamselOrry.exe")},
                                                      {"Path", Sz(target)},
                                                      {"StartMenuGroup", Sz("Tamsel Orry")}}));

    // The shortcuts, read back as Windows would.
    const std::string group = std::string(kPrograms) + "\\Tamsel Orry\\";
    struct Expected {
        const char* file;
        const char* program;
        const char* description;
    };
    for (const Expected& shortcut :
         {Expected{"Tamsel Orry.lnk", "TamselOrry.exe", "Tamsel Orry"},
          Expected{"Uninstall Tamsel Orry.lnk", "Uninstall.exe", "Uninstall Tamsel Orry"}}) {
        auto properties = ShortcutProperties(group + shortcut.file);
        EXPECT_EQ(properties["Local path"], target + shortcut.program) << shortcut.file;
        EXPECT_EQ(properties["Icon location"], target + shortcut.program) << shortcut.file;
        EXPECT_EQ(properties["Description"], shortcut.description) << shortcut.file;
        EXPECT_EQ(properties["Working directory"], target) << shortcut.file;
        EXPECT_EQ(properties["ShowCommand"], "1") << shortcut.file;  // a normal window
        EXPECT_EQ(properties["HotKey"], "0") << shortcut.file;       // none
    }
}

TEST_F(SetupTest, AnExistingDirectoryAndAppPathsKeyAreReusedWithoutLosingTheirOtherContents) {
    std::filesystem::create_directories(HostPath(kDefaultTarget));
    std::ofstream(HostPath(std::string(kDefaultTarget) + "notes.txt")) << "mine";
    std::ofstream(HostPath(std::string(kDefaultTarget) + "TamselOrry.exe")) << "old version";
    SetString(reg::kLocalMachine, names::kAppPathsKey, "", "C:\\Old\\TamselOrry.exe");
    SetString(reg::kLocalMachine, names::kAppPathsKey, "Extra", "kept");

    const ScriptRun run = RunSetup({"click OKBTN", "answer Yes"});
    ASSERT_EQ(run.status, 0) << run.err;

    // Only the finish message: an existing directory is no reason to ask.
    EXPECT_EQ(run.EventsOf("msgbox").size(), 1u);
    EXPECT_EQ(Contents(HostPath(std::string(kDefaultTarget) + "notes.txt")), "mine");
    EXPECT_EQ(Contents(HostPath(std::string(kDefaultTarget) + "TamselOrry.exe")),
              Contents(BuiltDistFile("TamselOrry.exe")));
    const auto appPaths = ExportKey(kAppPathsKeyName);
    ASSERT_TRUE(appPaths.has_value());
    EXPECT_EQ(appPaths->at("@"), Sz(std::string(kDefaultTarget) + "TamselOrry.exe"));
    EXPECT_EQ(appPaths->at("Extra"), Sz("kept"));

    // Yes starts the installed application by its full path, unquoted.
    const auto starts = run.EventsOf("start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0]["command"], std::string(kDefaultTarget) + "TamselOrry.exe");
}

}  // namespace
}  // namespace tamsel::test
