#include <gtest/gtest.h>

#include "RemoveFixture.h"
#include "common/ui/UserActions.h"

namespace tamsel {
namespace {

const std::string kFolder = kInstallFolder;
const std::string kGroup = std::string(kProgramsFolder) + "\\Tamsel Orry";
const char* const kExpectedBatch =
    "del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"\r\n"
    "rmdir \"C:\\Program Files\\Tamsel Orry\"\r\n"
    "del \"C:\\TEMP\\touninst.bat\"";

class RemovalTest : public RemoveTest {
  protected:
    void Yes() { user_actions::Click(app_, *remove_, remove_->OKButton); }
};

TEST_F(RemovalTest, RemovesTheInstallationAndLeavesTheRestToTheBatchFile) {
    Install();
    machine_->SetEnvironment("TEMP", "C:\\TEMP");
    PutFolder("C:\\TEMP");
    PutFile("C:\\TEMP\\touninst.bat", std::string(4096, 'z'));  // left from an earlier run
    PutFile(kFolder + "\\readme.txt");
    machine_->SetReadOnly(kFolder + "\\readme.txt", true);
    PutFile(kFolder + "\\data\\user.dat");
    PutValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Tamsel Orry",
             "x");
    PutValue(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Other", "y");
    PutKey(reg::kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run\\TamselOrry");
    PutKey(reg::kUsers, std::string(kMenuOrder) + "\\Other Group");

    Yes();

    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].title, "Tamsel Orry Uninstall Complete!");
    EXPECT_EQ(Shown()[0].text,
              "Tamsel Orry Uninstall has completed.\r\nSome elements could not be deleted "
              "now.\r\nThey will be deleted when you reboot.");
    EXPECT_EQ(Shown()[0].buttons, MsgButtons::OK);
    EXPECT_EQ(Shown()[0].icon, MsgIcon::None);
    EXPECT_TRUE(app_.Ended());
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_FALSE(remove_->Loaded());

    // Registry: the record, the entry, the run entries and the group's menu order go.
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kAppPaths));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallEntry));
    EXPECT_FALSE(Value(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "Tamsel Orry"));
    EXPECT_TRUE(
        Value(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Other"));
    EXPECT_FALSE(KeyExists(reg::kCurrentUser,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run\\TamselOrry"));
    EXPECT_FALSE(KeyExists(reg::kUsers, std::string(kMenuOrder) + "\\Tamsel Orry"));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrder) + "\\Other Group"));

    // Files: all but the uninstaller and the subfolder go; the group goes.
    EXPECT_FALSE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_FALSE(Exists(kFolder + "\\readme.txt"));
    EXPECT_TRUE(Exists(kFolder + "\\uninstall.exe"));
    EXPECT_TRUE(Exists(kFolder + "\\data\\user.dat"));
    EXPECT_FALSE(Exists(kGroup));
    EXPECT_TRUE(Exists(kProgramsFolder));

    // The batch file, overwritten, byte for byte, and its RunOnce value.
    EXPECT_EQ(Read("C:\\TEMP\\touninst.bat"), kExpectedBatch);
    EXPECT_EQ(Value(reg::kLocalMachine, kRunOnce, "Tamsel Orry Uninstall"),
              std::string("\"C:\\TEMP\\touninst.bat\"") + '\0');
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
    std::string empty;
    remove_->DeleteFolderContents(empty);
    EXPECT_TRUE(Exists("D:\\precious.txt"));

    // A missing file is no error.
    EXPECT_NO_THROW(remove_->DeleteFile(kFolder + "\\", "missing.txt"));
}

TEST_F(RemovalTest, AGroupWithOtherContentsStays) {
    Install("C:\\Program Files\\Tamsel Orry\\", "Shared");
    PutFile(std::string(kProgramsFolder) + "\\Shared\\Other.lnk");
    Install("C:\\Program Files\\Tamsel Orry\\", "Nested");
    PutFolder(std::string(kProgramsFolder) + "\\Nested\\Sub");

    remove_->RemoveStartMenuEntry("Shared");
    remove_->RemoveStartMenuEntry("Nested");

    for (const char* group : {"Shared", "Nested"}) {
        const std::string folder = std::string(kProgramsFolder) + "\\" + group;
        EXPECT_TRUE(Exists(folder)) << group;
        EXPECT_FALSE(Exists(folder + "\\Tamsel Orry.lnk")) << group;
        EXPECT_FALSE(Exists(folder + "\\Uninstall Tamsel Orry.lnk")) << group;
        EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrder) + "\\" + group)) << group;
    }
    EXPECT_TRUE(Exists(std::string(kProgramsFolder) + "\\Shared\\Other.lnk"));
    EXPECT_TRUE(Exists(std::string(kProgramsFolder) + "\\Nested\\Sub"));
}

TEST_F(RemovalTest, AnEmptyGroupRemovesOnlyTheTwoShortcutsInPrograms) {
    Install("C:\\Program Files\\Tamsel Orry\\", "");
    PutFile(std::string(kProgramsFolder) + "\\Other.lnk");
    PutKey(reg::kUsers, kMenuOrder);

    Yes();

    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_FALSE(Exists(std::string(kProgramsFolder) + "\\Tamsel Orry.lnk"));
    EXPECT_FALSE(Exists(std::string(kProgramsFolder) + "\\Uninstall Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(std::string(kProgramsFolder) + "\\Other.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, kMenuOrder));
}

TEST_F(RemovalTest, WithoutARecordNothingIsDeleted) {
    Install();
    PutKey(reg::kUsers, kMenuOrder);
    Registry().DeleteKey(reg::kLocalMachine, kAppPaths);

    Yes();

    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].text,
              "No installation of Tamsel Orry was found on this computer.\r\nNo program files "
              "were deleted.");
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_TRUE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_TRUE(Exists(kGroup + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(KeyExists(reg::kUsers, kMenuOrder));
    EXPECT_FALSE(Value(reg::kLocalMachine, kRunOnce, "Tamsel Orry Uninstall"));
    // The stale entry in the list of installed programs goes all the same.
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallEntry));
}

}  // namespace
}  // namespace tamsel
