#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SandboxFixture.h"
#include "ShellLinkReader.h"
#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/ShellItemList.h"
#include "platform/sandbox/ShellLinkProperties.h"

namespace tamsel::sandbox {
namespace {

namespace fs = std::filesystem;

class ShellTest : public SandboxFixture {
  protected:
    ShellTest() : shell_(machine_->GetAutomation().CreateShell()) {}

    std::vector<std::uint8_t> Bytes(const std::string& windowsPath) {
        std::ifstream in(Host(windowsPath), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    void SetShellFolder(const std::string& name, const std::string& value) {
        Registry& registry = machine_->GetRegistry();
        RegKey key = 0;
        ASSERT_EQ(registry.CreateKeyEx(reg::kCurrentUser,
                                       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                       "Shell Folders",
                                       0, nullptr, 0, reg::kKeyAllAccess, &key, nullptr),
                  reg::kSuccess);
        registry.SetValueEx(key, name, 0, reg::kSz,
                            reinterpret_cast<const std::uint8_t*>(value.c_str()),
                            static_cast<std::uint32_t>(value.size() + 1));
        registry.CloseKey(key);
    }

    std::unique_ptr<ShellObject> shell_;
};

TEST_F(ShellTest, SavedShortcutReadsBackWithEveryProperty) {
    fso_->CreateFolder("C:\\Program Files\\Tamsel Orry");
    WriteFile("C:\\Program Files\\Tamsel Orry\\TamselOrry.exe", std::string(300, 'x'));
    auto shortcut = shell_->CreateShortCut("C:\\Users\\User\\Desktop\\Tamsel Orry.lnk");
    shortcut->SetTargetPath("C:\\Program Files\\Tamsel Orry\\TamselOrry.exe");
    shortcut->SetWindowStyle(1);
    shortcut->SetHotKey("Ctrl+Shift+F");
    shortcut->SetIconLocation("C:\\Program Files\\Tamsel Orry\\TamselOrry.exe,3");
    shortcut->SetDescription("Tamsel Orry");
    shortcut->SetWorkingDirectory("C:\\Program Files\\Tamsel Orry\\");
    shortcut->Save();

    ReadLink link = ReadShellLink(Bytes("C:\\Users\\User\\Desktop\\Tamsel Orry.lnk"));
    EXPECT_EQ(link.flags, 0x1u | 0x2u | 0x4u | 0x10u | 0x40u | 0x80u);
    EXPECT_EQ(link.showCommand, 1u);
    EXPECT_EQ(link.hotKey, 0x0346);  // Ctrl (2) + Shift (1), 'F'
    EXPECT_EQ(link.iconIndex, 3);
    EXPECT_EQ(link.iconLocation, "C:\\Program Files\\Tamsel Orry\\TamselOrry.exe");
    EXPECT_EQ(link.description, "Tamsel Orry");
    EXPECT_EQ(link.workingDirectory, "C:\\Program Files\\Tamsel Orry\\");
    EXPECT_EQ(link.localBasePath, "C:\\Program Files\\Tamsel Orry\\TamselOrry.exe");
    EXPECT_EQ(link.driveType, 3u);
    EXPECT_EQ(link.label, kSystemDriveLabel);
    EXPECT_EQ(link.itemNames,
              (std::vector<std::string>{"Program Files", "Tamsel Orry", "TamselOrry.exe"}));
}

TEST_F(ShellTest, EmptyPropertiesAreLeftOutAndSaveReplacesTheFile) {
    const std::string path = "C:\\Users\\User\\Desktop\\x.lnk";
    auto first = shell_->CreateShortCut(path);
    first->SetTargetPath("C:\\Windows");
    first->SetDescription("first");
    first->SetHotKey("ALT+F5");
    first->Save();
    EXPECT_EQ(ReadShellLink(Bytes(path)).hotKey, 0x0474);

    auto second = shell_->CreateShortCut("c:\\users\\user\\desktop\\X.LNK");
    second->SetTargetPath("C:\\Windows\\System32");
    second->SetHotKey("");
    second->SetWindowStyle(7);
    second->Save();
    ReadLink link = ReadShellLink(Bytes(path));
    EXPECT_EQ(link.flags, 0x1u | 0x2u | 0x80u);  // no name, working directory or icon
    EXPECT_EQ(link.hotKey, 0);
    EXPECT_EQ(link.showCommand, 7u);
    EXPECT_EQ(link.localBasePath, "C:\\Windows\\System32");
    EXPECT_EQ(fso_->GetFolder("C:\\Users\\User\\Desktop")->Files().size(), 1u);
}

TEST_F(ShellTest, SaveFailsForAMissingFolderOrAProtectedFile) {
    auto missing = shell_->CreateShortCut("C:\\No Such Group\\x.lnk");
    missing->SetTargetPath("C:\\Windows");
    EXPECT_EQ(ErrorOf([&] { missing->Save(); }), err::kPathNotFound);
    EXPECT_FALSE(fso_->FolderExists("C:\\No Such Group"));

    const std::string path = "C:\\Users\\User\\Desktop\\ro.lnk";
    WriteFile(path, "old");
    machine_->SetReadOnly(path, true);
    auto shortcut = shell_->CreateShortCut(path);
    EXPECT_EQ(ErrorOf([&] { shortcut->Save(); }), err::kPermissionDenied);
    machine_->SetReadOnly(path, false);
    machine_->SetInUse(path, true);
    EXPECT_EQ(ErrorOf([&] { shortcut->Save(); }), err::kPermissionDenied);
    EXPECT_EQ(ReadFile(path), "old");

    EXPECT_EQ(ErrorOf([&] { shell_->CreateShortCut("C:\\x.txt"); }), err::kInvalidProcedureCall);
}

TEST_F(ShellTest, SpecialFoldersComeFromTheRegistryWithDefaults) {
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), kStartMenu);
    EXPECT_EQ(shell_->SpecialFolder("programs"), kPrograms);
    EXPECT_EQ(shell_->SpecialFolder("Desktop"), kDesktop);
    EXPECT_TRUE(fso_->FolderExists(shell_->SpecialFolder("StartUp")));
    EXPECT_TRUE(fso_->FileExists(std::string(kPrograms) + "\\Accessories\\Notepad.lnk"));
    EXPECT_EQ(ErrorOf([&] { shell_->SpecialFolder("Fonts?"); }), err::kInvalidProcedureCall);

    SetShellFolder("Start Menu", "D:\\Menu");
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), "D:\\Menu");
    SetShellFolder("Start Menu", "");
    EXPECT_EQ(shell_->SpecialFolder("StartMenu"), "");
}

TEST_F(ShellTest, ObjectsCannotBeCreatedWithoutTheScriptingHost) {
    machine_->SetScriptingHostAvailable(false);
    EXPECT_EQ(ErrorOf([&] { machine_->GetAutomation().CreateFileSystemObject(); }),
              err::kCannotCreateObject);
    EXPECT_EQ(ErrorOf([&] { machine_->GetAutomation().CreateShell(); }), err::kCannotCreateObject);
    machine_->SetScriptingHostAvailable(true);
    EXPECT_NE(machine_->GetAutomation().CreateShell(), nullptr);
}

TEST(ShellLinkPropertiesTest, HotKeyTexts) {
    EXPECT_EQ(ParseHotKey(""), 0);
    EXPECT_EQ(ParseHotKey("  "), 0);
    EXPECT_EQ(ParseHotKey("CTRL+SHIFT+F"), 0x0346);
    EXPECT_EQ(ParseHotKey("shift + ctrl + f"), 0x0346);
    EXPECT_EQ(ParseHotKey("Alt+Ctrl+F12"), 0x067B);
    EXPECT_EQ(ParseHotKey("CTRL+ALT+9"), 0x0639);
    EXPECT_EQ(ParseHotKey("F1"), 0x0070);
    EXPECT_EQ(ParseHotKey("Ctrl+Home"), 0x0224);
    for (const char* bad : {"CTRL+", "CTRL+CTRL+F", "HYPER+F", "CTRL+F25", "CTRL+AB", "+"}) {
        EXPECT_EQ(ErrorOf([&] { ParseHotKey(bad); }), err::kInvalidProcedureCall) << bad;
    }
}

TEST(ShellLinkPropertiesTest, IconLocationsAndWindowStyles) {
    IconLocation plain = ParseIconLocation("C:\\App\\app.exe");
    EXPECT_EQ(plain.path, "C:\\App\\app.exe");
    EXPECT_EQ(plain.index, 0);
    IconLocation indexed = ParseIconLocation("C:\\App\\app.exe,-2");
    EXPECT_EQ(indexed.path, "C:\\App\\app.exe");
    EXPECT_EQ(indexed.index, -2);
    // A comma inside the path is not an index.
    EXPECT_EQ(ParseIconLocation("C:\\a,b\\app.exe").path, "C:\\a,b\\app.exe");

    EXPECT_EQ(ShowCommandFor(1), 1u);
    EXPECT_EQ(ShowCommandFor(3), 3u);
    EXPECT_EQ(ShowCommandFor(7), 7u);
    EXPECT_EQ(ShowCommandFor(0), 1u);
    EXPECT_EQ(ShowCommandFor(-5), 1u);
}

TEST(ShellItemListTest, ShortNames) {
    EXPECT_EQ(ShortName("notepad.exe"), "notepad.exe");
    EXPECT_EQ(ShortName("Program Files"), "PROGRA~1");
    EXPECT_EQ(ShortName("TamselOrry.exe"), "TAMSEL~1.EXE");
    EXPECT_EQ(ShortName("a.b.c.html"), "ABC~1.HTM");
    EXPECT_EQ(ShortName("T\xC3\xA4msel.txt"), "T_MSEL~1.TXT");
    EXPECT_EQ(ErrorOf([] { TargetIdList("relative\\path", false, 0); }),
              err::kInvalidProcedureCall);
}

}  // namespace
}  // namespace tamsel::sandbox
