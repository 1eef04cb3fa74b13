#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

// A recorded group that names no folder the way it is written: "Sub\" (Windows' file-system
// object cannot delete a folder named with a trailing "\", "Error 53"), or "Tamsel Orry "
// (Windows drops a trailing blank from the last level only, so the folder made is not the one
// named). The uninstaller does not guess: the installation goes, the shortcuts stay where they
// are, and the user is told where, with a failure status, the same on both platforms.
class GroupFolderTest : public SandboxTest {
  protected:
    void ExpectShortcutsKept(const std::string& recorded, const std::string& folder) {
        InstallWithSetup();
        const std::string group = std::string(kPrograms) + "\\" + folder;
        if (folder != "Tamsel Orry") {
            PutFolder(group);
            for (const char* link : {"Tamsel Orry.lnk", "Uninstall Tamsel Orry.lnk"}) {
                std::filesystem::rename(Host(std::string(kPrograms) + "\\Tamsel Orry\\" + link),
                                        Host(group) / link);
            }
        }
        PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", recorded);

        const ScriptRun run = RunOnMachine(kInstalledUninstaller, {"click OKButton", "answer OK"});
        EXPECT_EQ(run.status, 1) << run.err;
        const auto boxes = run.EventsOf("msgbox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0]["text"].get<std::string>().find(recorded), std::string::npos)
            << boxes[0];
        EXPECT_TRUE(Exists(group + "\\Tamsel Orry.lnk"));
        EXPECT_TRUE(Exists(group + "\\Uninstall Tamsel Orry.lnk"));
        EXPECT_FALSE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));
        EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    }
};

TEST_F(GroupFolderTest, AGroupRecordedWithATrailingSeparator) {
    ExpectShortcutsKept("Sub\\", "Sub");
}

TEST_F(GroupFolderTest, AGroupRecordedWithATrailingBlank) {
    ExpectShortcutsKept("Tamsel Orry ", "Tamsel Orry");
}

}  // namespace
}  // namespace tamsel::test
