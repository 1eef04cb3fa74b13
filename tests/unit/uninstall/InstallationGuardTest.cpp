#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/SandboxTest.h"
#include "uninstall/InstallationGuard.h"

namespace tamsel::test {
namespace {

using removal::IsAbsoluteFolderPath;

TEST(InstallationGuard, OnlyAbsolutePathsOfFoldersOnADriveNameAFolder) {
    for (const std::string path :
         {"C:\\", "c:/", "C:\\Program Files\\Tamsel Orry\\", "C:\\Program Files\\Tamsel Orry",
          "E:\\100% & more\\", "c:/program files/tamsel orry/", "C:\\Windows.\\"}) {
        EXPECT_TRUE(IsAbsoluteFolderPath(path)) << path;
    }
    for (const std::string& path : std::vector<std::string>{
             "C:", "", "D:\\.\\", "Tamsel Orry\\", "\\Tamsel Orry\\", "C:Tamsel Orry\\",
             "\\\\server\\share\\Tamsel\\", "\\\\?\\C:\\Tamsel Orry\\", "1:\\Tamsel\\",
             "C:\\Tamsel Orry\\..\\", "C:\\Program Files\\..\\Windows\\", "C:\\Tamsel\\...\\",
             "C:\\ \\", "C:\\Tamsel*\\", "C:\\Tamsel\"x\\", "C:\\a:b\\",
             "C:\\Tamsel\r\nrmdir C:\\"}) {
        EXPECT_FALSE(IsAbsoluteFolderPath(path)) << path;
    }
}

using InstallationGuardTest = SandboxTest;

// The folders of a fresh machine by any of their names: 8.3 aliases, a link into the
// documents, a junction above an ordinary folder.
TEST_F(InstallationGuardTest, OnlyAnOrdinaryFolderReachedWithoutALinkIsTrustworthy) {
    for (const char* folder : {kInstallFolder, "D:\\Apps\\Tamsel Orry",
                               "C:\\Users\\User\\Documents\\Tools", "D:\\My Own Folder"}) {
        PutFolder(folder);
    }
    std::filesystem::create_directory_symlink(Host("C:\\Users\\User\\Documents"),
                                              Host("D:\\") / "MyDocs");
    std::filesystem::create_directory_symlink(Host("D:\\My Own Folder"),
                                              Host("D:\\Apps") / "Junction");
    const auto protectedFolders =
        removal::CollectProtectedFolders(machine_->GetSystem(), std::string(kPrograms) + "\\");
    auto trusted = [&](const std::string& path) {
        return removal::IsTrustworthyFolder(path, protectedFolders, machine_->GetFolderIdentity());
    };
    for (const std::string path :
         {"C:\\Program Files\\Tamsel Orry\\", "c:\\progra~1\\tamsel~1\\", "D:\\Apps\\Tamsel Orry",
          "C:\\Users\\User\\Documents\\Tools\\", "D:\\MYOWNF~1\\"}) {
        EXPECT_TRUE(trusted(path)) << path;
    }
    for (const std::string& path : std::vector<std::string>{
             // missing, a drive root, not a folder path
             "D:\\Gone\\", "C:\\", "D:\\", "C:", "",
             // reached through a link or junction
             "D:\\MyDocs\\", "D:\\Apps\\Junction\\",
             // system and user folders, and what holds them, by any of their names
             "C:\\Windows\\", "C:\\Windows\\System32", "C:\\Program Files\\", "C:\\PROGRA~1",
             "C:\\Users\\", "C:\\Users\\User\\", "C:\\Users\\User\\Documents\\",
             "C:\\Users\\User\\AppData\\Local\\Temp", std::string(kPrograms) + "\\Accessories"}) {
        EXPECT_FALSE(trusted(path)) << path;
    }
}

}  // namespace
}  // namespace tamsel::test
