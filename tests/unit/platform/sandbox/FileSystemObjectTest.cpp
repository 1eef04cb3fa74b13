#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<FileSystemItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.Name);
    return names;
}

class FileSystemObjectTest : public SandboxTest {
  protected:
    std::unique_ptr<FileSystemObject> fso_ = machine_->GetAutomation().CreateFileSystemObject();
};

TEST_F(FileSystemObjectTest, ExistenceTestsNeverRaiseAndCreateFolderMakesOneLevel) {
    PutFile("C:\\a.txt");
    EXPECT_TRUE(fso_->FolderExists("c:\\program files\\"));
    EXPECT_TRUE(fso_->FileExists("c:\\A.TXT"));
    EXPECT_FALSE(fso_->FileExists("C:\\Program Files"));
    EXPECT_FALSE(fso_->FolderExists("C:\\a.txt"));
    EXPECT_FALSE(fso_->FileExists("C:\\a.txt\\"));
    for (const char* bad : {"", "Q:\\x", "C:\\..\\..", "C:\\a|b", "\\\\server\\share"}) {
        EXPECT_FALSE(fso_->FolderExists(bad) || fso_->FileExists(bad)) << bad;
    }
    fso_->CreateFolder("C:\\Program Files\\Tamsel Orry");
    EXPECT_TRUE(fs::is_directory(Host("C:\\Program Files\\Tamsel Orry")));
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("c:\\program files\\TAMSEL ORRY"); }),
              err::kFileAlreadyExists);
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("C:\\Missing\\Child"); }), err::kPathNotFound);
    EXPECT_FALSE(Exists("C:\\Missing"));
    EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder("C:\\a.txt"); }), err::kFileAlreadyExists);
}

TEST_F(FileSystemObjectTest, CopyFileRefusalsLeaveTheDestinationAlone) {
    PutFile("C:\\source.exe", "new");
    PutFile("C:\\dest.exe", "old");
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\missing.exe", "C:\\x.exe", true); }),
              err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\NoDir\\x.exe", true); }),
              err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", false); }),
              err::kFileAlreadyExists);
    machine_->SetReadOnly("C:\\dest.exe", true);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", true); }),
              err::kPermissionDenied);
    machine_->SetReadOnly("C:\\dest.exe", false);
    machine_->SetInUse("C:\\DEST.EXE", true);
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(Read("C:\\dest.exe"), "old");
    // Copying a file onto itself would empty it.
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "c:\\SOURCE.exe", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(Read("C:\\source.exe"), "new");

    machine_->SetInUse("C:\\dest.exe", false);
    fso_->CopyFile("C:\\source.exe", "C:\\dest.exe", true);
    EXPECT_EQ(Read("C:\\dest.exe"), "new");
    fso_->CopyFile("C:\\source.exe", "C:\\Windows\\", true);
    EXPECT_EQ(Read("C:\\Windows\\source.exe"), "new");
    // The copy carries the read-only attribute, as on Windows; nothing else is left behind.
    machine_->SetReadOnly("C:\\source.exe", true);
    fso_->CopyFile("C:\\source.exe", "C:\\copy.exe", false);
    EXPECT_TRUE(machine_->IsReadOnly("C:\\copy.exe"));
    EXPECT_EQ(Names(fso_->GetFolder("C:\\")->Files()),
              (std::vector<std::string>{"copy.exe", "dest.exe", "source.exe"}));
}

TEST_F(FileSystemObjectTest, CollectionsComeInCaseInsensitiveOrder) {
    for (const char* name : {"beta.txt", "Alpha.txt", "_under.txt", "ZETA.txt"}) {
        PutFile(std::string("D:\\") + name);
    }
    for (const char* name : {"b", "C", "a"}) PutFolder(std::string("D:\\") + name);
    auto folder = fso_->GetFolder("d:\\");
    EXPECT_EQ(Names(folder->Files()),
              (std::vector<std::string>{"Alpha.txt", "beta.txt", "ZETA.txt", "_under.txt"}));
    EXPECT_EQ(Names(folder->SubFolders()), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(ErrorOf([&] { fso_->GetFolder("D:\\missing"); }), err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->GetFolder("D:\\beta.txt"); }), err::kPathNotFound);
}

TEST_F(FileSystemObjectTest, DeletionsHonourReadOnlyAndInUseAndUndoNothing) {
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\missing.txt"); }), err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\Windows"); }), err::kFileNotFound);
    PutFile("C:\\ro.txt");
    machine_->SetReadOnly("C:\\ro.txt", true);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("C:\\ro.txt"); }), err::kPermissionDenied);
    fso_->DeleteFile("C:\\RO.txt", true);
    EXPECT_FALSE(Exists("C:\\ro.txt"));
    PutFile("C:\\ro.txt");  // a new file of that name starts writable
    EXPECT_FALSE(machine_->IsReadOnly("C:\\ro.txt"));

    for (const char* file :
         {"D:\\App\\a.txt", "D:\\App\\b.exe", "D:\\App\\c.txt", "D:\\App\\sub\\x.txt"}) {
        PutFile(file);
    }
    machine_->SetInUse("D:\\App\\b.exe", true);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile("D:\\App\\b.exe", true); }), err::kPermissionDenied);
    // Listed order: a.txt goes, b.exe stops the deletion, the rest stays.
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App"); }), err::kPermissionDenied);
    EXPECT_FALSE(Exists("D:\\App\\a.txt"));
    EXPECT_TRUE(Exists("D:\\App\\c.txt") && Exists("D:\\App\\sub\\x.txt"));
    machine_->SetInUse("D:\\App\\b.exe", false);
    machine_->SetReadOnly("D:\\App\\sub\\x.txt", true);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App"); }), err::kPermissionDenied);
    // A link in the tree goes without what it points to.
    const fs::path outside = scratch_.Path() / "keep";
    fs::create_directory(outside);
    std::ofstream(outside / "precious.txt") << "x";
    fs::create_directory_symlink(outside, Host("D:\\App\\sub") / "out");
    fso_->DeleteFolder("d:\\app", true);
    EXPECT_FALSE(Exists("D:\\App"));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App"); }), err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\"); }), err::kPermissionDenied);
}

TEST_F(FileSystemObjectTest, TextFilesHoldExactlyTheBytesWritten) {
    auto stream = fso_->CreateTextFile("C:\\out.bat", true);
    stream->WriteLine("@echo off");
    stream->Write("del \"C:\\T\xC3\xA4msel\\uninstall.exe\"");
    stream->WriteLine("");
    stream->Close();
    EXPECT_EQ(Read("C:\\out.bat"), "@echo off\r\ndel \"C:\\T\xC3\xA4msel\\uninstall.exe\"\r\n");
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
    EXPECT_EQ(Read("C:\\out.bat").substr(0, 9), "@echo off");
    machine_->SetInUse("C:\\out.bat", false);
    fso_->CreateTextFile("C:\\out.bat", true)->Close();
    EXPECT_EQ(Read("C:\\out.bat"), "");
}

}  // namespace
}  // namespace tamsel::test
