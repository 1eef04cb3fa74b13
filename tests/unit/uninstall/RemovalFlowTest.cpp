#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/ui/Application.h"
#include "common/ui/UserActions.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"
#include "uninstall/Remove.h"

namespace tamsel::test {
namespace {

const std::string kFolder = kInstallFolder;
const std::string kGroup = std::string(kPrograms) + "\\Tamsel Orry";
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Remove window on a fresh machine, shown and waiting for the user.
class RemovalTest : public SandboxTest {
  protected:
    RemovalTest() : app_(ui_, "Uninstall"), remove_(std::make_unique<Remove>(app_, *machine_)) {
        remove_->Show();
    }

    // What Setup leaves, with path and group as Setup records them.
    void Install(const std::string& group = "Tamsel Orry") {
        const std::string path = kFolder + "\\";
        PutFile(path + "uninstall.exe");
        PutFile(path + "TamselOrry.exe");
        PutValue(reg::kLocalMachine, kUninstallKey, "UninstallString", path + "uninstall.exe");
        PutValue(reg::kLocalMachine, kAppPathsKey, "Path", path);
        PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", group);
        const std::string folder =
            group.empty() ? kPrograms : std::string(kPrograms) + "\\" + group;
        PutFile(folder + "\\Tamsel Orry.lnk");
        PutFile(folder + "\\Uninstall Tamsel Orry.lnk");
        if (!group.empty()) PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\" + group);
    }
    void Yes() { user_actions::Click(app_, *remove_, remove_->OKButton); }
    const std::vector<MessageBoxSpec>& Shown() { return ui_.boxes.Shown(); }

    SilentUserInterface ui_;
    Application app_;
    std::unique_ptr<Remove> remove_;
};

TEST_F(RemovalTest, YesRemovesTheRunEntriesWithTheInstallationAndNothingElse) {
    Install();
    PutValue(reg::kLocalMachine, kRunKey, "Tamsel Orry", "x");
    PutValue(reg::kLocalMachine, kRunKey, "Other", "y");
    PutKey(reg::kCurrentUser, std::string(kRunKey) + "\\TamselOrry");
    PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Other Group");

    Yes();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].title, "Tamsel Orry Uninstall Complete!");
    EXPECT_TRUE(app_.Ended());
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_FALSE(remove_->Loaded());
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunKey, "Tamsel Orry"));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kRunKey, "Other"));
    EXPECT_FALSE(KeyExists(reg::kCurrentUser, std::string(kRunKey) + "\\TamselOrry"));
    EXPECT_FALSE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Other Group"));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_TRUE(Exists(kPrograms));
}

TEST_F(RemovalTest, WithoutARecordNothingIsDeletedButTheStaleEntry) {
    Install();
    machine_->GetSqliteRegistry().DeleteKey(reg::kLocalMachine, kAppPathsKey);
    Yes();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].text,
              "No installation of Tamsel Orry was found on this computer.\r\nNo program files "
              "were deleted.");
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_TRUE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_TRUE(Exists(kGroup + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry"));
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

// A group folder that holds a folder of its own (another program's, say) keeps it: only the
// two shortcuts go, and the folder with its menu order stays.
TEST_F(RemovalTest, AGroupThatHoldsAFolderStaysWithIt) {
    Install();
    PutFolder(kGroup + "\\Other Program");
    Yes();
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_FALSE(Exists(kGroup + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(kGroup + "\\Other Program"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Tamsel Orry"));
}

TEST_F(RemovalTest, WithoutAGroupOnlyTheTwoShortcutsInProgramsGo) {
    Install("");
    PutFile(std::string(kPrograms) + "\\Other.lnk");
    PutKey(reg::kUsers, kMenuOrderKey);
    Yes();
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_FALSE(Exists(std::string(kPrograms) + "\\Tamsel Orry.lnk"));
    EXPECT_FALSE(Exists(std::string(kPrograms) + "\\Uninstall Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Other.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, kMenuOrderKey));
}

TEST_F(RemovalTest, DeleteFolderContentsShortensTheCallersPathByOneSeparator) {
    PutFile(kFolder + "\\UNINSTALL.EXE");
    PutFile(kFolder + "\\Uninstall.Exe.bak");
    std::string path = kFolder + "\\\\";
    remove_->DeleteFolderContents(path);
    EXPECT_EQ(path, kFolder + "\\");
    remove_->DeleteFolderContents(path);
    EXPECT_EQ(path, kFolder);
    remove_->DeleteFolderContents(path);
    EXPECT_EQ(path, kFolder);
    EXPECT_TRUE(Exists(kFolder + "\\UNINSTALL.EXE"));
    EXPECT_FALSE(Exists(kFolder + "\\Uninstall.Exe.bak"));

    // A drive root loses its separator and is then left alone, as is the empty path.
    PutFile("D:\\precious.txt");
    std::string root = "D:\\";
    remove_->DeleteFolderContents(root);
    EXPECT_EQ(root, "D:");
    std::string doubled = "D:\\\\";
    remove_->DeleteFolderContents(doubled);
    EXPECT_EQ(doubled, "D:\\");
    std::string empty;
    remove_->DeleteFolderContents(empty);
    EXPECT_TRUE(Exists("D:\\precious.txt"));
    EXPECT_NO_THROW(remove_->DeleteFile(kFolder + "\\", "missing.txt"));
}

}  // namespace
}  // namespace tamsel::test
