#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "common/RuntimeError.h"
#include "common/Shortcut.h"
#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ScratchDirectory.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

// The Shortcut module on a fresh sandbox machine, with a group folder "Group" in its Programs
// folder.
class ShortcutSandboxTest : public ::testing::Test {
  protected:
    ShortcutSandboxTest()
        : machine_(sandbox::SandboxMachine::Open(scratch_.Path() / "machine")),
          shortcut_(machine_->GetAutomation()) {
        programs_ = shortcut_.GetProgramsFolder();
        machine_->GetAutomation().CreateFileSystemObject()->CreateFolder(programs_ + "Group");
    }

    fs::path Host(const std::string& windowsPath) { return machine_->HostPath(windowsPath, false); }

    std::string FileBytes(const std::string& windowsPath) {
        std::ifstream in(Host(windowsPath), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Whether a shortcut file holds a text, in the ANSI or the UTF-16LE form of its strings.
    bool Holds(const std::string& windowsPath, const std::string& text) {
        std::string wide;
        for (char c : text) wide += std::string{c, '\0'};
        const std::string bytes = FileBytes(windowsPath);
        return bytes.find(text) != std::string::npos || bytes.find(wide) != std::string::npos;
    }

    // The number of the error DeleteShortcut raises, 0 when it raises none.
    int DeleteRaises(const std::string& path) {
        try {
            shortcut_.DeleteShortcut(path);
        } catch (const RuntimeError& error) {
            return error.Number();
        }
        return 0;
    }

    test::ScratchDirectory scratch_;
    std::unique_ptr<sandbox::SandboxMachine> machine_;
    Shortcut shortcut_;
    std::string programs_;
};

TEST_F(ShortcutSandboxTest, ProgramsFolderIsTheStartMenusProgramsFolder) {
    EXPECT_EQ(programs_, std::string(sandbox::kPrograms) + "\\");
    EXPECT_TRUE(fs::is_directory(Host(programs_ + "Group")));

    // An empty Start-menu folder leaves the bare suffix.
    Registry& registry = machine_->GetRegistry();
    RegKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(registry.CreateKeyEx(reg::kCurrentUser,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                   "Shell Folders",
                                   0, nullptr, 0, reg::kKeySixRights, &key, &disposition),
              reg::kSuccess);
    const std::uint8_t nul = 0;
    registry.SetValueEx(key, "Start Menu", 0, reg::kSz, &nul, 1);
    registry.CloseKey(key);
    EXPECT_EQ(shortcut_.GetProgramsFolder(), "\\Programs\\");
}

TEST_F(ShortcutSandboxTest, MakeShortcutWritesIntoAnExistingFolderOnly) {
    EXPECT_THROW(shortcut_.MakeShortcut("NoGroup\\Tamsel Orry", "C:\\App\\TamselOrry.exe", "",
                                        "C:\\App\\TamselOrry.exe", "Tamsel Orry", "C:\\App\\"),
                 RuntimeError);
    EXPECT_FALSE(fs::exists(Host(programs_ + "NoGroup")));

    const std::string path = programs_ + "Group\\Tamsel Orry.lnk";
    shortcut_.MakeShortcut("Group\\Tamsel Orry", "C:\\First\\TamselOrry.exe", "",
                           "C:\\First\\TamselOrry.exe", "First description", "C:\\First\\");
    ASSERT_TRUE(fs::is_regular_file(Host(path)));
    EXPECT_TRUE(Holds(path, "First description"));
    // A normal window (ShowCommand 1) and no hot key, at their places in the file's header.
    const std::string header = FileBytes(path).substr(0, 0x4C);
    ASSERT_EQ(header.size(), 0x4Cu);
    EXPECT_EQ(header.substr(0x3C, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(header.substr(0x40, 2), std::string("\0\0", 2));

    shortcut_.MakeShortcut("Group\\Tamsel Orry", "C:\\Second\\TamselOrry.exe", "",
                           "C:\\Second\\TamselOrry.exe", "Second description", "C:\\Second\\");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Host(programs_ + "Group"))) {
        ++files;
    }
    EXPECT_EQ(files, 1);
    EXPECT_TRUE(Holds(path, "Second description"));
    EXPECT_TRUE(Holds(path, "C:\\Second\\"));
    EXPECT_FALSE(Holds(path, "First description"));
    EXPECT_FALSE(Holds(path, "C:\\First\\"));
}

TEST_F(ShortcutSandboxTest, DeleteShortcutRemovesOnlyAWritableFile) {
    const std::string path = programs_ + "Group\\Tamsel Orry.lnk";
    shortcut_.MakeShortcut("Group\\Tamsel Orry", "C:\\App\\TamselOrry.exe", "", "", "d", "");

    // Nothing there, or a folder of that name: nothing happens.
    EXPECT_NO_THROW(shortcut_.DeleteShortcut(programs_ + "Group\\Absent.lnk"));
    machine_->GetAutomation().CreateFileSystemObject()->CreateFolder(programs_ + "Group\\Sub.lnk");
    EXPECT_NO_THROW(shortcut_.DeleteShortcut(programs_ + "Group\\Sub.lnk"));
    EXPECT_TRUE(fs::is_directory(Host(programs_ + "Group\\Sub.lnk")));

    // A read-only file is refused, since no forced deletion is asked for.
    machine_->SetReadOnly(path, true);
    EXPECT_EQ(DeleteRaises(path), err::kPermissionDenied);
    EXPECT_TRUE(fs::exists(Host(path)));

    machine_->SetReadOnly(path, false);
    shortcut_.DeleteShortcut(path);
    EXPECT_FALSE(fs::exists(Host(path)));
    EXPECT_TRUE(fs::is_directory(Host(programs_ + "Group")));
}

}  // namespace
}  // namespace tamsel
