#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using nlohmann::json;
using DirectoryChooserTest = SandboxTest;

std::string DirOf(const json& dialog) { return ControlOf(dialog, "Dir")["text"]; }
std::string TargetOf(const json& installer) {
    return ControlOf(installer, "InstallDirectory")["caption"];
}

TEST_F(DirectoryChooserTest, TheDialogProposesBrowsedDirectoriesAndOKMakesTheTextTheTarget) {
    PutFolder("D:\\Apps");
    // D: is first shown at its root (never visited); then each drive comes back to where it was.
    const ScriptRun run =
        RunSetup({"click ChangeDirBTN", "drive d", "open D:\\Apps", "drive c", "drive d",
                  "set Dir D:\\Games", "click OKButton", "click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto dialog = WindowStates(run, "ChooseDirFRM");
    ASSERT_EQ(dialog.size(), 6u);
    // First opening: the parent of the target, and the target itself unchanged.
    EXPECT_EQ(dialog[0]["caption"], "Install To...");
    EXPECT_EQ(ControlOf(dialog[0], "DriveBox")["drive"], "c: [System]");
    EXPECT_EQ(ControlOf(dialog[0], "DirBox")["path"], "C:\\Program Files");
    EXPECT_EQ(DirOf(dialog[0]), kDefaultTarget);
    EXPECT_EQ(ControlOf(dialog[1], "DirBox")["path"], "D:\\");
    const std::vector<std::string> proposed = {"D:\\Tamsel Orry\\", "D:\\Apps\\Tamsel Orry\\",
                                               kDefaultTarget, "D:\\Apps\\Tamsel Orry\\"};
    for (std::size_t i = 0; i < proposed.size(); ++i) EXPECT_EQ(DirOf(dialog[i + 1]), proposed[i]);
    // OK adds the missing "\" and gives the window back, whose target is installed into.
    const auto installer = WindowStates(run, "Installer");
    ASSERT_EQ(installer.size(), 2u);
    EXPECT_EQ(installer[1]["enabled"], true);
    EXPECT_TRUE(Exists("D:\\Games\\TamselOrry.exe"));
}

// The Start menu is on D:, which has no "Program Files": the dialog first shows D:\.
TEST_F(DirectoryChooserTest, CancelKeepsTheTargetAndTheDialogKeepsWhatWasTypedInIt) {
    PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu", "D:\\Menu");
    const std::string target = "D:\\Program Files\\Tamsel Orry\\";
    // An unknown drive, Cancel, the close box (which acts as Cancel), then OK with a trailing "\"
    // and with no text, and the window's close box.
    const ScriptRun run = RunSetup(
        {"click ChangeDirBTN", "drive q", "answer OK", "set Dir D:\\Typed", "click CancelButton",
         "click ChangeDirBTN", "close", "click ChangeDirBTN", "set Dir D:\\Games\\",
         "click OKButton", "click ChangeDirBTN", "set Dir", "click OKButton", "close"});
    // The close box ends Setup, also while the hidden dialog is still loaded.
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Kinds().back(), "exit");
    const auto installer = WindowStates(run, "Installer");
    const auto dialog = WindowStates(run, "ChooseDirFRM");
    ASSERT_EQ(installer.size(), 5u);
    ASSERT_EQ(dialog.size(), 8u);
    // The list shows the drive's current directory; the text is the target unchanged. A drive
    // that is not there is reported and nothing changes.
    EXPECT_EQ(ControlOf(dialog[0], "DriveBox")["drive"], "d: [Data]");
    EXPECT_EQ(ControlOf(dialog[0], "DirBox")["path"], "D:\\");
    EXPECT_EQ(DirOf(dialog[0]), target);
    const auto boxes = run.EventsOf("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["icon"], "exclamation");
    EXPECT_EQ(dialog[1], dialog[0]);
    // After Cancel and after the close box: the target is unchanged, the window usable again,
    // and the dialog, reopened, shows the text that was typed and cancelled.
    for (int i : {1, 2}) {
        EXPECT_EQ(installer[i]["enabled"], true);
        EXPECT_EQ(TargetOf(installer[i]), target);
        EXPECT_EQ(DirOf(dialog[i + 2]), "D:\\Typed");
    }
    // A trailing "\" is not doubled; an empty text becomes a lone "\".
    EXPECT_EQ(TargetOf(installer[3]), "D:\\Games\\");
    EXPECT_EQ(TargetOf(installer[4]), "\\");
}

}  // namespace
}  // namespace tamsel::test
