#include <filesystem>
#include <string>
#include <vector>

#include "SandboxFixture.h"

namespace tamsel::sandbox {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<FileSystemItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.Name);
    return names;
}

using FileSystemObjectTest = SandboxFixture;

TEST_F(FileSystemObjectTest, ExistenceTestsNeverRaise) {
    EXPECT_TRUE(fso_->FolderExists("C:\\Program Files"));
    EXPECT_TRUE(fso_->FolderExists("c:\\program files\\"));
    EXPECT_FALSE(fso_->FileExists("C:\\Program Files"));
    WriteFile("C:\\a.txt", "x");
    EXPECT_TRUE(fso_->FileExists("c:\\A.TXT"));
    EXPECT_FALSE(fso_->FolderExists("C:\\a.txt"));
    EXPECT_FALSE(fso_->FileExists("C:\\a.txt\\"));
    for (const char* bad : {"", "Q:\\x", "C:\\..\\..", "C:\\a|b", "\\\\server\\share"}) {
        EXPECT_FALSE(fso_->FolderExists(bad)) << bad;
        EXPECT_FALSE(fso_->FileExists(bad)) << bad;
    }
}

TEST_F(FileSystemObjectTest, CreateFolderMakesOneLevelOnly) {
    fso_->CreateFolder("C:\\Program Files\\Tamsel Orry");
    EXPECT_TRUE(fs::is_directory(Host("C:\\Program Files\\Tamsel Orry")));
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("c:\\program files\\TAMSEL ORRY"); }),
              err::kFileAlreadyExists);
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("C:\\Missing\\Child"); }), err::kPathNotFound);
    EXPECT_FALSE(fso_->FolderExists("C:\\Missing"));
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("C:\\"); }), err::kFileAlreadyExists);
    WriteFile("C:\\file", "x");
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("C:\\file"); }), err::kFileAlreadyExists);
}

TEST_F(FileSystemObjectTest, CopyFileErrorsLeaveTheDestinationAlone) {
    WriteFile("C:\\source.exe", "new");
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\missing.exe", "C:\\x.exe", true); }),
              err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\NoDir\\x.exe", true); }),
              err::kPathNotFound);

    WriteFile("C:\\dest.exe", "old");
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", false); }),
              err::kFileAlreadyExists);
    machine_->SetReadOnly("C:\\dest.exe", true);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", false); }),
              err::kPermissionDenied);
    machine_->SetReadOnly("C:\\dest.exe", false);
    machine_->SetInUse("C:\\DEST.EXE", true);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(ReadFile("C:\\dest.exe"), "old");
    // Copying a file onto itself would empty it.
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "c:\\SOURCE.exe", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(ReadFile("C:\\source.exe"), "new");

    machine_->SetInUse("C:\\dest.exe", false);
    fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", true);
    EXPECT_EQ(ReadFile("C:\\dest.exe"), "new");
    fso_->CopyFile("C:\\source.exe", "C:\\Windows\\", true);
    EXPECT_EQ(ReadFile("C:\\Windows\\source.exe"), "new");
    // The copy carries the read-only attribute, as on Windows.
    machine_->SetReadOnly("C:\\source.exe", true);
    fso_->CopyFile("C:\\source.exe", "C:\\copy.exe", false);
    EXPECT_TRUE(machine_->IsReadOnly("C:\\copy.exe"));
    // Nothing of the copying is left behind.
    EXPECT_EQ(Names(fso_->GetFolder("C:\\")->Files()),
              (std::vector<std::string>{"copy.exe", "dest.exe", "source.exe"}));
}

TEST_F(FileSystemObjectTest, CollectionsComeInCaseInsensitiveOrder) {
    fs::path root = Host("D:\\");
    for (const char* name : {"beta.txt", "Alpha.txt", "_under.txt", "ZETA.txt", "gamma.TXT"}) {
        WriteFile(std::string("D:\\") + name, name);
    }
    for (const char* name : {"b", "C", "a"}) fs::create_directory(root / name);
    auto folder = fso_->GetFolder("d:\\");
    EXPECT_EQ(
        Names(folder->Files()),
        (std::vector<std::string>{"Alpha.txt", "beta.txt", "gamma.TXT", "ZETA.txt", "_under.txt"}));
    EXPECT_EQ(Names(folder->SubFolders()), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(ErrorOf([&] { fso_->GetFolder("D:\\missing"); }), err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->GetFolder("D:\\beta.txt"); }), err::kPathNotFound);
}

TEST_F(FileSystemObjectTest, DeleteFileHonoursReadOnlyAndInUse) {
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\missing.txt"); }), err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\Windows"); }), err::kFileNotFound);

    WriteFile("C:\\ro.txt", "x");
    machine_->SetReadOnly("C:\\ro.txt", true);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\ro.txt"); }), err::kPermissionDenied);
    EXPECT_TRUE(fso_->FileExists("C:\\ro.txt"));
    fso_->DeleteFile("C:\\RO.txt", true);
    EXPECT_FALSE(fso_->FileExists("C:\\ro.txt"));
    // A deleted file loses its state: a new file of that name starts writable.
    WriteFile("C:\\ro.txt", "y");
    EXPECT_FALSE(machine_->IsReadOnly("C:\\ro.txt"));

    WriteFile("C:\\busy.exe", "x");
    machine_->SetInUse("C:\\busy.exe", true);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\busy.exe", true); }), err::kPermissionDenied);
    EXPECT_TRUE(fso_->FileExists("C:\\busy.exe"));
}

TEST_F(FileSystemObjectTest, DeleteFolderStopsAtTheFirstRefusalAndUndoesNothing) {
    for (const char* folder : {"D:\\App", "D:\\App\\sub"}) fso_->CreateFolder(folder);
    for (const char* file : {"D:\\App\\a.txt", "D:\\App\\c.txt", "D:\\App\\sub\\x.txt"}) {
        WriteFile(file, "x");
    }
    WriteFile("D:\\App\\b.exe", "x");
    machine_->SetInUse("D:\\App\\b.exe", true);

    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App"); }), err::kPermissionDenied);
    // Listed order: a.txt, b.exe (refused), c.txt, sub.
    EXPECT_FALSE(fso_->FileExists("D:\\App\\a.txt"));
    EXPECT_TRUE(fso_->FileExists("D:\\App\\b.exe"));
    EXPECT_TRUE(fso_->FileExists("D:\\App\\c.txt"));
    EXPECT_TRUE(fso_->FileExists("D:\\App\\sub\\x.txt"));

    machine_->SetInUse("D:\\App\\b.exe", false);
    machine_->SetReadOnly("D:\\App\\sub\\x.txt", true);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App"); }), err::kPermissionDenied);
    EXPECT_TRUE(fso_->FileExists("D:\\App\\sub\\x.txt"));
    fso_->DeleteFolder("d:\\app", true);
    EXPECT_FALSE(fso_->FolderExists("D:\\App"));

    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App"); }), err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\"); }), err::kPermissionDenied);
}

TEST_F(FileSystemObjectTest, DeleteFolderRemovesLinksWithoutFollowingThem) {
    fs::path outside = scratch_.Path() / "keep";
    fs::create_directory(outside);
    std::ofstream(outside / "precious.txt") << "x";
    fso_->CreateFolder("C:\\Linked");
    // A link made while it pointed inside the drive, then moved: the tree holds a link to
    // outside, which must go without what it points to.
    fs::create_directory_symlink(outside, Host("C:\\Linked") / "out");
    fso_->DeleteFolder("C:\\Linked");
    EXPECT_FALSE(fso_->FolderExists("C:\\Linked"));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));
}

TEST_F(FileSystemObjectTest, TextFilesHoldExactlyTheBytesWritten) {
    auto stream = fso_->CreateTextFile("C:\\out.bat", true);
    stream->WriteLine("@echo off");
    stream->Write("del \"C:\\Program Files\\Tämsel\\uninstall.exe\"");
    stream->WriteLine("");
    stream->Close();
    EXPECT_EQ(ReadFile("C:\\out.bat"),
              "@echo off\r\ndel \"C:\\Program Files\\T\xC3\xA4msel\\uninstall.exe\"\r\n");
    EXPECT_EQ(ErrorOf([&] { stream->Write("late"); }), err::kBadFileName);

    EXPECT_EQ(ErrorOf([&] { fso_->CreateTextFile("C:\\out.bat", false); }),
              err::kFileAlreadyExists);
    EXPECT_EQ(ErrorOf([&] { fso_->CreateTextFile("C:\\NoDir\\out.bat", true); }),
              err::kPathNotFound);
    machine_->SetReadOnly("C:\\out.bat", true);
    EXPECT_EQ(ErrorOf([&] { fso_->CreateTextFile("C:\\out.bat", true); }), err::kPermissionDenied);
    machine_->SetReadOnly("C:\\out.bat", false);
    machine_->SetInUse("C:\\out.bat", true);
    EXPECT_EQ(ErrorOf([&] { fso_->CreateTextFile("C:\\out.bat", true); }), err::kPermissionDenied);
    EXPECT_EQ(ReadFile("C:\\out.bat").substr(0, 9), "@echo off");
    machine_->SetInUse("C:\\out.bat", false);
    fso_->CreateTextFile("C:\\out.bat", true)->Close();
    EXPECT_EQ(ReadFile("C:\\out.bat"), "");
}

}  // namespace
}  // namespace tamsel::sandbox
