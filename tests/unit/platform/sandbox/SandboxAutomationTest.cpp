// What the sandbox's automation objects add to their contract (tests/contract): attributes kept
// in the machine, links, the shell's folders in the registry, short names.
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/ShortNames.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

class SandboxAutomationTest : public SandboxTest {
  protected:
    std::unique_ptr<FileSystemObject> fso_ = machine_->GetAutomation().CreateFileSystemObject();
};

TEST_F(SandboxAutomationTest, AFileIsNotCopiedOntoItselfAndAttributesFollowTheFile) {
    PutFile("C:\\source.exe", "new");
    // Copying a file onto itself would empty it.
    EXPECT_EQ(ErrorOf([&] { fso_->CopyFile("C:\\source.exe", "c:\\SOURCE.exe", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(Read("C:\\source.exe"), "new");
    // The copy carries the read-only attribute; a new file of a deleted one's name does not.
    machine_->SetReadOnly("C:\\source.exe", true);
    fso_->CopyFile("C:\\source.exe", "C:\\copy.exe", false);
    EXPECT_TRUE(machine_->IsReadOnly("C:\\copy.exe"));
    fso_->DeleteFile("C:\\copy.exe", true);
    PutFile("C:\\copy.exe");
    EXPECT_FALSE(machine_->IsReadOnly("C:\\copy.exe"));
    auto stream = fso_->CreateBatchFile("C:\\out.txt");
    stream->Close();
    EXPECT_EQ(ErrorOf([&] { stream->Write("late"); }), err::kBadFileName);
}

TEST_F(SandboxAutomationTest, DeleteFolderStopsAtAFileInUseAndGoesThroughNoLink) {
    for (const char* file :
         {"D:\\App\\a.txt", "D:\\App\\b.exe", "D:\\App\\c.txt", "D:\\App\\sub\\x.txt"}) {
        PutFile(file);
    }
    machine_->SetInUse("D:\\App\\b.exe", true);
    // Listed order: a.txt goes, b.exe stops the deletion, the rest stays.
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\App", true); }), err::kPermissionDenied);
    EXPECT_FALSE(Exists("D:\\App\\a.txt"));
    EXPECT_TRUE(Exists("D:\\App\\c.txt") && Exists("D:\\App\\sub\\x.txt"));
    machine_->SetInUse("D:\\App\\b.exe", false);
    const fs::path outside = scratch_.Path() / "keep";
    fs::create_directory(outside);
    std::ofstream(outside / "precious.txt") << "x";
    fs::create_directory_symlink(outside, Host("D:\\App\\sub") / "out");
    fso_->DeleteFolder("d:\\app", true);
    EXPECT_FALSE(Exists("D:\\App"));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFolder("D:\\"); }), err::kPermissionDenied);
}

TEST_F(SandboxAutomationTest, TheShellReadsItsFoldersFromTheRegistryAndNeedsTheScriptingHost) {
    auto shell = machine_->GetAutomation().CreateShell();
    EXPECT_EQ(shell->SpecialFolder("startmenu"), sandbox::kStartMenu);
    EXPECT_EQ(ErrorOf([&] { shell->SpecialFolder("Fonts?"); }), err::kInvalidProcedureCall);
    // The shell reads "User Shell Folders", where only REG_EXPAND_SZ values are expanded.
    PutValue(reg::kCurrentUser, kUserShellFoldersKey, "Start Menu", "D:\\%USERNAME%");
    EXPECT_EQ(shell->SpecialFolder("StartMenu"), "D:\\%USERNAME%");  // REG_SZ: as it stands

    const std::string path = "C:\\Users\\User\\Desktop\\x.lnk";
    PutFile(path, "old");
    auto shortcut = shell->CreateShortCut(path);
    shortcut->SetTargetPath("C:\\Windows");
    for (const bool inUse : {false, true}) {  // a read-only file, then one in use
        machine_->SetReadOnly(path, !inUse);
        machine_->SetInUse(path, inUse);
        EXPECT_EQ(ErrorOf([&] { shortcut->Save(); }), err::kPermissionDenied) << inUse;
    }
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(ErrorOf([&] { shell->CreateShortCut("C:\\x.txt"); }), err::kInvalidProcedureCall);

    machine_->SetScriptingHostAvailable(false);
    EXPECT_EQ(ErrorOf([&] { machine_->GetAutomation().CreateShell(); }), err::kCannotCreateObject);
}

TEST_F(SandboxAutomationTest, ShortNamesStandInForNamesTheOemCodePageLacks) {
    EXPECT_EQ(sandbox::ShortName("Program Files"), "PROGRA~1");
    EXPECT_EQ(sandbox::ShortName("a.b.c.html"), "ABC~1.HTM");
    EXPECT_EQ(sandbox::ShortName("T\xC3\xA4msel.txt"), "T_MSEL~1.TXT");
    // Six characters of "Программа" and a number: "______~1".
    const std::string first =
        "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD0\xB0";
    PutFile(first + "\\a");
    EXPECT_EQ(fso_->BatchFilePath(first), "C:\\______~1");
    machine_->SetOemCodePage(866);  // on a Cyrillic machine the path itself is fine
    EXPECT_EQ(fso_->BatchFilePath(first), first);
    EXPECT_THROW(machine_->SetOemCodePage(99999), std::invalid_argument);
}

}  // namespace
}  // namespace tamsel::test
