#include <filesystem>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

using FolderIdentityTest = SandboxTest;

TEST_F(FolderIdentityTest, FoldersResolveToTheirRealPathThroughCaseAndLinks) {
    PutFile("C:\\Users\\User\\Documents\\Mine\\letter.txt");
    PutFolder("D:\\Apps");
    fs::create_directory_symlink(Host("C:\\Users\\User\\Documents"), Host("D:\\Apps") / "Docs");
    FolderIdentity& folders = machine_->GetFolderIdentity();

    const auto plain = folders.Resolve("c:/users/USER/documents/");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->path, "C:\\Users\\User\\Documents");
    EXPECT_FALSE(plain->throughLink);

    for (const char* viaLink : {"D:\\Apps\\Docs", "D:\\Apps\\Docs\\", "d:\\apps\\docs\\Mine"}) {
        const auto linked = folders.Resolve(viaLink);
        ASSERT_TRUE(linked) << viaLink;
        EXPECT_TRUE(linked->throughLink) << viaLink;
        EXPECT_TRUE(linked->path.starts_with("C:\\Users\\User\\Documents")) << linked->path;
    }

    const auto root = folders.Resolve("D:");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->path, "D:\\");
    // Files, missing folders and paths on no drive name no folder.
    for (const char* none : {"C:\\Users\\User\\Documents\\Mine\\letter.txt", "C:\\Missing", "Q:\\",
                             "C:\\bad|name", ""}) {
        EXPECT_FALSE(folders.Resolve(none)) << none;
    }
}

}  // namespace
}  // namespace tamsel::test
