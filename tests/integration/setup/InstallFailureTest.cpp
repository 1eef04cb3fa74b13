#include <filesystem>

#include "SetupHarness.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

// The report of the failure that ended Setup: the last message box, with the error number.
void ExpectFailureReport(const ScriptRun& run, const std::string& number) {
    EXPECT_EQ(run.status, 1) << run.err;
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_FALSE(boxes.empty());
    const std::string text = boxes.back()["text"];
    EXPECT_NE(text.find(number), std::string::npos) << text;
    EXPECT_TRUE(run.EventsOf("start").empty());
}

TEST_F(SetupTest, AMissingParentDirectoryStopsSetupBeforeAnythingIsCopiedOrRecorded) {
    const ScriptRun run = RunSetup({"click ChangeDirBTN", "set Dir D:\\Missing\\Tamsel Orry",
                                    "click OKButton", "click OKBTN", "answer OK"});
    ExpectFailureReport(run, "76");
    EXPECT_FALSE(Exists("D:\\Missing"));
    EXPECT_FALSE(ExportKey(kUninstallKeyName).has_value());
    EXPECT_FALSE(ExportKey(kAppPathsKeyName).has_value());
}

TEST_F(SetupTest, AMissingUninstallerNextToSetupStopsAfterTheDirectoryIsMade) {
    const fs::path media = scratch_.Path() / "media";
    fs::create_directories(media);
    fs::copy_file(BuiltDistFile("Setup"), media / "Setup");
    fs::copy_file(BuiltDistFile("TamselOrry.exe"), media / "TamselOrry.exe");

    const ScriptRun run = RunSetup({"click OKBTN", "answer OK"}, media / "Setup");
    ExpectFailureReport(run, "53");
    ASSERT_TRUE(Exists(kDefaultTarget));
    EXPECT_TRUE(fs::is_empty(HostPath(kDefaultTarget)));
    EXPECT_FALSE(ExportKey(kUninstallKeyName).has_value());
    EXPECT_FALSE(ExportKey(kAppPathsKeyName).has_value());
}

TEST_F(SetupTest, AGroupThatCannotBeMadeStopsSetupAndKeepsWhatWasDoneBefore) {
    // A nested group whose parent is missing: one level only is created.
    ScriptRun run = RunSetup({"set StartMenuGroup Tools\\Extra", "click OKBTN", "answer OK"});
    ExpectFailureReport(run, "76");
    EXPECT_TRUE(Exists(std::string(kDefaultTarget) + "TamselOrry.exe"));
    EXPECT_TRUE(ExportKey(kUninstallKeyName).has_value());
    auto appPaths = ExportKey(kAppPathsKeyName);
    ASSERT_TRUE(appPaths.has_value());
    EXPECT_EQ(appPaths->count("Path"), 1u);
    EXPECT_EQ(appPaths->count("StartMenuGroup"), 0u);
    EXPECT_FALSE(Exists(std::string(kPrograms) + "\\Tools"));

    // A group name that climbs out of the Programs folder is refused before anything is made.
    run = RunSetup({"set StartMenuGroup ..\\Escaped", "click OKBTN", "answer OK"});
    ExpectFailureReport(run, "52");
    EXPECT_FALSE(Exists(std::string(kPrograms) + "\\..\\Escaped"));
    appPaths = ExportKey(kAppPathsKeyName);
    ASSERT_TRUE(appPaths.has_value());
    EXPECT_EQ(appPaths->count("StartMenuGroup"), 0u);
}

}  // namespace
}  // namespace tamsel::test
