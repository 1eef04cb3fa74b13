#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/Shortcut.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

// The Shortcut module on a fresh machine, with a group folder "Group" in its Programs folder.
class ShortcutSandboxTest : public SandboxTest {
  protected:
    ShortcutSandboxTest() : shortcut_(machine_->GetAutomation()) {
        PutFolder(std::string(kPrograms) + "\\Group");
    }

    // Whether a shortcut file holds a text, in its ANSI or its UTF-16LE form.
    bool Holds(const std::string& windowsPath, const std::string& text) {
        std::string wide;
        for (char c : text) wide += std::string{c, '\0'};
        const std::string bytes = Read(windowsPath);
        return bytes.find(text) != std::string::npos || bytes.find(wide) != std::string::npos;
    }

    Shortcut shortcut_;
    const std::string link_ = std::string(kPrograms) + "\\Group\\Tamsel Orry.lnk";
};

TEST_F(ShortcutSandboxTest, MakeShortcutWritesIntoTheStartMenusExistingFoldersOnly) {
    EXPECT_EQ(shortcut_.GetProgramsFolder(), std::string(kPrograms) + "\\");
    EXPECT_EQ(ErrorOf([&] {
                  shortcut_.MakeShortcut("NoGroup\\Tamsel Orry", "C:\\App\\TamselOrry.exe", "",
                                         "C:\\App\\TamselOrry.exe", "Tamsel Orry", "C:\\App\\");
              }),
              err::kPathNotFound);
    EXPECT_FALSE(Exists(std::string(kPrograms) + "\\NoGroup"));

    shortcut_.MakeShortcut("Group\\Tamsel Orry", "C:\\First\\TamselOrry.exe", "",
                           "C:\\First\\TamselOrry.exe", "First description", "C:\\First\\");
    EXPECT_TRUE(Holds(link_, "First description"));
    // A second one replaces the first.
    shortcut_.MakeShortcut("Group\\Tamsel Orry", "C:\\Second\\TamselOrry.exe", "",
                           "C:\\Second\\TamselOrry.exe", "Second description", "C:\\Second\\");
    EXPECT_EQ(std::distance(fs::directory_iterator(Host(std::string(kPrograms) + "\\Group")),
                            fs::directory_iterator()),
              1);
    EXPECT_TRUE(Holds(link_, "Second description"));
    EXPECT_FALSE(Holds(link_, "C:\\First\\"));

    // An empty Start-menu folder leaves the bare suffix.
    PutValue(reg::kCurrentUser, kUserShellFoldersKey, "Start Menu", "");
    EXPECT_EQ(shortcut_.GetProgramsFolder(), "\\Programs\\");
}

TEST_F(ShortcutSandboxTest, DeleteShortcutRemovesOnlyAWritableFile) {
    shortcut_.MakeShortcut("Group\\Tamsel Orry", "C:\\App\\TamselOrry.exe", "", "", "d", "");
    const std::string group = std::string(kPrograms) + "\\Group\\";
    // Nothing there, or a folder of that name: nothing happens.
    EXPECT_NO_THROW(shortcut_.DeleteShortcut(group + "Absent.lnk"));
    PutFolder(group + "Sub.lnk");
    EXPECT_NO_THROW(shortcut_.DeleteShortcut(group + "Sub.lnk"));
    EXPECT_TRUE(Exists(group + "Sub.lnk"));
    // A read-only file is refused, since no forced deletion is asked for.
    machine_->SetReadOnly(link_, true);
    EXPECT_EQ(ErrorOf([&] { shortcut_.DeleteShortcut(link_); }), err::kPermissionDenied);
    EXPECT_TRUE(Exists(link_));
    machine_->SetReadOnly(link_, false);
    shortcut_.DeleteShortcut(link_);
    EXPECT_FALSE(Exists(link_));
}

}  // namespace
}  // namespace tamsel::test
