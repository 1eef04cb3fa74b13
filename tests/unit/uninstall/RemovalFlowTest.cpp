#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "common/ui/Application.h"
#include "common/ui/UserActions.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"
#include "uninstall/Remove.h"

namespace tamsel::test {
namespace {

const std::string kFolder = kInstallFolder;
const std::string kMenuOrder = kMenuOrderKey;
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Remove window on a fresh machine, shown and waiting for the user.
class RemovalTest : public SandboxTest {
  protected:
    RemovalTest() : app_(ui_, "Uninstall"), remove_(std::make_unique<Remove>(app_, *machine_)) {
        remove_->Show();
    }

    // What Setup leaves, with path and group as Setup records them; the group's folder.
    std::string Install(const std::string& group) {
        PutFile(kFolder + "\\uninstall.exe");
        PutFile(kFolder + "\\TamselOrry.exe");
        PutValue(reg::kLocalMachine, kUninstallKey, "UninstallString", kFolder + "\\uninstall.exe");
        PutValue(reg::kLocalMachine, kAppPathsKey, "Path", kFolder + "\\");
        PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", group);
        const std::string folder = std::string(kPrograms) + (group.empty() ? "" : "\\" + group);
        PutFile(folder + "\\Tamsel Orry.lnk");
        PutFile(folder + "\\Uninstall Tamsel Orry.lnk");
        PutKey(reg::kUsers, kMenuOrder + (group.empty() ? "" : "\\" + group));
        return folder;
    }
    void Yes() { user_actions::Click(app_, *remove_, remove_->OKButton); }
    const std::vector<MessageBoxSpec>& Shown() { return ui_.boxes.Shown(); }

    SilentUserInterface ui_;
    Application app_;
    std::unique_ptr<Remove> remove_;
};

// A recorded group, and whether its folder and menu order stay: a group folder goes only when
// nothing but the two shortcuts is in it (a folder in it may be another program's), and the
// Programs folder itself never goes.
struct GroupCase {
    const char* group;
    const char* otherFolder;
    bool stays;
};

std::ostream& operator<<(std::ostream& out, const GroupCase& row) {
    return out << '"' << row.group << "\" with \"" << row.otherFolder << '"';
}

class RemovalOfGroupTest : public RemovalTest, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(RemovalOfGroupTest, YesRemovesTheRunEntriesTheShortcutsAndAnEmptyGroupFolder) {
    const GroupCase& row = GetParam();
    const std::string folder = Install(row.group);
    if (*row.otherFolder != '\0') PutFolder(folder + "\\" + row.otherFolder);
    PutValue(reg::kLocalMachine, kRunKey, "Tamsel Orry", "x");
    PutValue(reg::kLocalMachine, kRunKey, "Other", "y");
    PutKey(reg::kCurrentUser, std::string(kRunKey) + "\\TamselOrry");

    Yes();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].title, "Tamsel Orry Uninstall Complete!");
    EXPECT_EQ(app_.ExitStatus(), 0);
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunKey, "Tamsel Orry"));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kRunKey, "Other"));
    EXPECT_FALSE(KeyExists(reg::kCurrentUser, std::string(kRunKey) + "\\TamselOrry"));
    EXPECT_FALSE(Exists(folder + "\\Tamsel Orry.lnk"));
    EXPECT_FALSE(Exists(folder + "\\Uninstall Tamsel Orry.lnk"));
    EXPECT_EQ(Exists(folder), row.stays);
    EXPECT_EQ(KeyExists(reg::kUsers, kMenuOrder + (*row.group ? "\\" : "") + row.group), row.stays);
}

INSTANTIATE_TEST_SUITE_P(Groups, RemovalOfGroupTest,
                         ::testing::Values(GroupCase{"Tamsel Orry", "", false},
                                           GroupCase{"Tamsel Orry", "Other", true},
                                           GroupCase{"", "", true}));

TEST_F(RemovalTest, WithoutARecordNothingIsDeletedButTheStaleEntry) {
    const std::string group = Install("Tamsel Orry");
    DeleteKey(reg::kLocalMachine, kAppPathsKey);
    Yes();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].text,
              "No installation of Tamsel Orry was found on this computer.\r\nNo program files "
              "were deleted.");
    EXPECT_TRUE(Exists(kFolder + "\\TamselOrry.exe"));
    EXPECT_TRUE(Exists(group + "\\Tamsel Orry.lnk"));
    EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

// A read-only shortcut is refused, as the shortcut module deletes nothing by force; the
// removal stops there, before the program files and the record.
TEST_F(RemovalTest, AReadOnlyShortcutStopsTheRemoval) {
    const std::string group = Install("Tamsel Orry");
    machine_->SetReadOnly(group + "\\Tamsel Orry.lnk", true);
    Yes();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].text, "Error 70: Permission denied");
    EXPECT_EQ(app_.ExitStatus(), 1);
    EXPECT_TRUE(Exists(group + "\\Tamsel Orry.lnk"));
    EXPECT_TRUE(Exists(kFolder + "\\TamselOrry.exe"));
}

// Every file but the uninstaller, in any case of its name, goes; never those of a drive root.
TEST_F(RemovalTest, DeleteFolderContentsSparesTheUninstallerAndDriveRoots) {
    PutFile(kFolder + "\\UNINSTALL.EXE");
    PutFile(kFolder + "\\Uninstall.Exe.bak");
    PutFile("D:\\precious.txt");
    std::string path = kFolder + "\\";
    remove_->DeleteFolderContents(path);
    EXPECT_EQ(path, kFolder);  // without the trailing separator
    EXPECT_TRUE(Exists(kFolder + "\\UNINSTALL.EXE"));
    EXPECT_FALSE(Exists(kFolder + "\\Uninstall.Exe.bak"));
    for (std::string root : {"D:\\", "D:\\\\", ""}) remove_->DeleteFolderContents(root);
    EXPECT_TRUE(Exists("D:\\precious.txt"));
}

}  // namespace
}  // namespace tamsel::test
