#include <string>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/ShellItemList.h"
#include "platform/sandbox/ShellLinkProperties.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using namespace tamsel::sandbox;

class ShellTest : public SandboxTest {
  protected:
    std::unique_ptr<ShellObject> shell_ = machine_->GetAutomation().CreateShell();
};

TEST_F(ShellTest, SaveReplacesTheFileAndFailsForAMissingFolderOrAProtectedFile) {
    const std::string path = "C:\\Users\\User\\Desktop\\x.lnk";
    auto first = shell_->CreateShortCut(path);
    first->SetTargetPath("C:\\Windows");
    first->SetDescription("first description");
    first->Save();
    auto second = shell_->CreateShortCut("c:\\users\\user\\desktop\\X.LNK");
    second->SetTargetPath("C:\\Windows\\System32");
    second->Save();
    EXPECT_EQ(Read(path).find("first description"), std::string::npos);

    auto missing = shell_->CreateShortCut("C:\\No Such Group\\x.lnk");
    missing->SetTargetPath("C:\\Windows");
    EXPECT_EQ(ErrorOf([&] { missing->Save(); }), err::kPathNotFound);
    EXPECT_FALSE(Exists("C:\\No Such Group"));
    PutFile(path, "old");
    machine_->SetReadOnly(path, true);
    EXPECT_EQ(ErrorOf([&] { second->Save(); }), err::kPermissionDenied);
    machine_->SetReadOnly(path, false);
    machine_->SetInUse(path, true);
    EXPECT_EQ(ErrorOf([&] { second->Save(); }), err::kPermissionDenied);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(ErrorOf([&] { shell_->CreateShortCut("C:\\x.txt"); }), err::kInvalidProcedureCall);
}

TEST_F(ShellTest, SpecialFoldersComeFromTheRegistryAndNeedTheScriptingHost) {
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), kStartMenu);
    EXPECT_EQ(shell_->SpecialFolder("programs"), kPrograms);
    EXPECT_TRUE(Exists(shell_->SpecialFolder("StartUp")));
    EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Accessories\\Notepad.lnk"));
    EXPECT_EQ(ErrorOf([&] { shell_->SpecialFolder("Fonts?"); }), err::kInvalidProcedureCall);
    // The shell reads "User Shell Folders", expanded; "Shell Folders" is only Windows' copy.
    PutValue(reg::kCurrentUser, kShellFoldersKey, "Start Menu", "D:\\Menu");
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), kStartMenu);
    PutValue(reg::kCurrentUser, kUserShellFoldersKey, "Start Menu", "%USERPROFILE%\\Menu",
             reg::kExpandSz);
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), "C:\\Users\\User\\Menu");
    PutValue(reg::kCurrentUser, kUserShellFoldersKey, "Start Menu", "D:\\%USERNAME%");
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), "D:\\%USERNAME%");  // REG_SZ: as it stands

    machine_->SetScriptingHostAvailable(false);
    EXPECT_EQ(ErrorOf([&] { machine_->GetAutomation().CreateFileSystemObject(); }),
              err::kCannotCreateObject);
    EXPECT_EQ(ErrorOf([&] { machine_->GetAutomation().CreateShell(); }), err::kCannotCreateObject);
}

TEST(ShellLinkPropertiesTest, HotKeysIconLocationsWindowStylesAndShortNames) {
    EXPECT_EQ(ParseHotKey("  "), 0);
    EXPECT_EQ(ParseHotKey("shift + ctrl + f"), 0x0346);
    EXPECT_EQ(ParseHotKey("Alt+Ctrl+F12"), 0x067B);
    EXPECT_EQ(ParseHotKey("CTRL+ALT+9"), 0x0639);
    EXPECT_EQ(ParseHotKey("Ctrl+Home"), 0x0224);
    for (const char* bad : {"CTRL+", "CTRL+CTRL+F", "HYPER+F", "CTRL+F25", "CTRL+AB", "+"}) {
        EXPECT_EQ(ErrorOf([&] { ParseHotKey(bad); }), err::kInvalidProcedureCall) << bad;
    }
    EXPECT_EQ(ParseIconLocation("C:\\App\\app.exe,-2").path, "C:\\App\\app.exe");
    EXPECT_EQ(ParseIconLocation("C:\\App\\app.exe,-2").index, -2);
    EXPECT_EQ(ParseIconLocation("C:\\a,b\\app.exe").path, "C:\\a,b\\app.exe");
    EXPECT_EQ(ParseIconLocation("C:\\a,b\\app.exe").index, 0);
    EXPECT_EQ(ShowCommandFor(7), 7u);
    EXPECT_EQ(ShowCommandFor(0), 1u);  // anything unknown is a normal window
    EXPECT_EQ(ShowCommandFor(-5), 1u);
    EXPECT_EQ(ShortName("Program Files"), "PROGRA~1");
    EXPECT_EQ(ShortName("a.b.c.html"), "ABC~1.HTM");
    EXPECT_EQ(ShortName("T\xC3\xA4msel.txt"), "T_MSEL~1.TXT");
    EXPECT_EQ(ErrorOf([] { TargetIdList("relative\\path", false, 0); }),
              err::kInvalidProcedureCall);
}

}  // namespace
}  // namespace tamsel::test
