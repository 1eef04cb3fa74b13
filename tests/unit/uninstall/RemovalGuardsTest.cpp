#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "common/ui/Application.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"
#include "uninstall/CleanupBatchText.h"
#include "uninstall/InstallationGuard.h"
#include "uninstall/Remove.h"

namespace tamsel::test {
namespace {

using RemovalGuardsTest = SandboxTest;

// An ordinary folder that only a link makes untrustworthy, a protected one by its short name, and
// the real folder behind a redirected Documents folder. Sandbox only: Wine neither shows host
// links as links nor gives the same short names.
TEST_F(RemovalGuardsTest, AFolderReachedThroughALinkIsNotTrustworthy) {
    PutFolder("D:\\My Own Folder");
    PutFolder("D:\\Apps");
    std::filesystem::create_directory_symlink(Host("D:\\My Own Folder"),
                                              Host("D:\\Apps") / "Junction");
    PutFolder("D:\\Docs");
    std::filesystem::remove_all(Host("C:\\Users\\User\\Documents"));
    std::filesystem::create_directory_symlink(Host("D:\\Docs"), Host("C:\\Users\\User\\Documents"));
    const auto protectedFolders =
        removal::CollectProtectedFolders(machine_->GetSystem(), std::string(kPrograms) + "\\");
    for (const auto& [path, trusted] :
         {std::pair{"D:\\MYOWNF~1\\", true}, std::pair{"D:\\Apps\\Junction\\", false},
          std::pair{"C:\\PROGRA~1\\", false}, std::pair{"D:\\Docs\\", false}}) {
        EXPECT_EQ(
            removal::IsTrustworthyFolder(path, protectedFolders, machine_->GetFolderIdentity()),
            trusted)
            << path;
    }
}

// Emptying a folder refuses a drive root on its own, whatever the caller checked before.
TEST_F(RemovalGuardsTest, DeleteFolderContentsNeverEmptiesADriveRoot) {
    SilentUserInterface ui;
    Application app(ui, "Uninstall");
    Remove remove(app, *machine_);
    PutFile("D:\\precious.txt");
    for (std::string root : {"D:\\", "D:\\\\", ""}) remove.DeleteFolderContents(root);
    EXPECT_TRUE(Exists("D:\\precious.txt"));
}

// cmd reads each line of the clean-up batch file as one command with its paths in quotes.
TEST(CleanupBatchText, RefusesPathsThatWouldBreakOutOfTheirQuotes) {
    using Paths = std::pair<std::string, std::string>;  // the folder and the temporary folder
    for (const auto& [folder, temp] : {Paths{"C:\\Tamsel\" & rmdir /s /q \"C:\\", "C:\\TEMP"},
                                       Paths{"C:\\Tamsel", "C:\\TEMP\n"}}) {
        EXPECT_EQ(ErrorOf([&] { removal::MakeCleanupBatchLines(folder, temp); }), err::kBadFileName)
            << folder << " / " << temp;
    }
}

}  // namespace
}  // namespace tamsel::test
