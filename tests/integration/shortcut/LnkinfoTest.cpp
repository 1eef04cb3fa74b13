// Shortcuts written on the sandbox, read by lnkinfo (liblnk-utils) as an independent reader.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/Shortcut.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// lnkinfo as found on PATH (the process helper starts programs by their full path).
std::string LnkinfoProgram() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        fs::path candidate = fs::path(folder) / "lnkinfo";
        if (!folder.empty() && fs::exists(candidate)) return candidate.string();
    }
    return "lnkinfo";
}

class LnkinfoTest : public ::testing::Test {
  protected:
    LnkinfoTest()
        : machine_(sandbox::SandboxMachine::Open(scratch_.Path() / "machine")),
          shortcut_(machine_->GetAutomation()) {
        machine_->GetAutomation().CreateFileSystemObject()->CreateFolder(
            shortcut_.GetProgramsFolder() + "Tamsel Orry");
    }

    fs::path Host(const std::string& windowsPath) { return machine_->HostPath(windowsPath, false); }

    // The "Label : value" lines of lnkinfo's output (the first of each label).
    std::map<std::string, std::string> Lnkinfo(const std::string& windowsPath) {
        test::ProcessResult result =
            test::RunProcess({LnkinfoProgram(), Host(windowsPath).string()});
        EXPECT_EQ(result.status, 0) << result.err << result.problem;
        std::map<std::string, std::string> lines;
        std::istringstream text(result.out);
        for (std::string line; std::getline(text, line);) {
            auto colon = line.find(':');
            if (colon == std::string::npos) continue;
            lines.emplace(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
        }
        return lines;
    }

    // ShowCommand and HotKey straight from the header: lnkinfo 20181227 prints the target's
    // file size on its "Show Window value" and "Hot Key value" lines, so those two are read
    // here instead.
    std::pair<std::uint32_t, std::uint16_t> ShowCommandAndHotKey(const std::string& windowsPath) {
        std::ifstream in(Host(windowsPath), std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_GE(bytes.size(), 0x4Cu);
        if (bytes.size() < 0x4C) return {};
        std::uint32_t show = bytes[60] | bytes[61] << 8 | bytes[62] << 16 | bytes[63] << 24;
        return {show, static_cast<std::uint16_t>(bytes[64] | bytes[65] << 8)};
    }

    test::ScratchDirectory scratch_;
    std::unique_ptr<sandbox::SandboxMachine> machine_;
    Shortcut shortcut_;
};

TEST_F(LnkinfoTest, MakeShortcutWritesAllSixProperties) {
    const std::string dir = "C:\\Program Files\\Tamsel Orry\\";
    shortcut_.MakeShortcut("Tamsel Orry\\Tamsel Orry", dir + "TamselOrry.exe", "",
                           dir + "TamselOrry.exe", "Tamsel Orry", dir);
    const std::string file = shortcut_.GetProgramsFolder() + "Tamsel Orry\\Tamsel Orry.lnk";

    auto info = Lnkinfo(file);
    EXPECT_EQ(info["Local path"], dir + "TamselOrry.exe");
    EXPECT_EQ(info["Description"], "Tamsel Orry");
    EXPECT_EQ(info["Working directory"], dir);
    EXPECT_EQ(info["Icon location"], dir + "TamselOrry.exe");
    EXPECT_EQ(info["Icon index"], "0");
    EXPECT_EQ(info["Drive type"], "Fixed (3)");
    EXPECT_EQ(info["Volume label"], "System");
    EXPECT_EQ(info["Long name"], "Program Files");  // the first file entry shell item
    auto [show, hotKey] = ShowCommandAndHotKey(file);
    EXPECT_EQ(show, 1u);  // normal window
    EXPECT_EQ(hotKey, 0);
}

TEST_F(LnkinfoTest, HotKeyAndIconIndexReachTheFile) {
    const std::string dir = "D:\\Apps\\";
    shortcut_.MakeShortcut("Tamsel Orry\\Other", dir + "other.exe", "CTRL+SHIFT+F",
                           "C:\\Windows\\System32\\shell32.dll,4", "Other program", "D:\\");
    const std::string file = shortcut_.GetProgramsFolder() + "Tamsel Orry\\Other.lnk";

    auto info = Lnkinfo(file);
    EXPECT_EQ(info["Local path"], dir + "other.exe");
    EXPECT_EQ(info["Icon location"], "C:\\Windows\\System32\\shell32.dll");
    EXPECT_EQ(info["Icon index"], "4");
    EXPECT_EQ(info["Description"], "Other program");
    EXPECT_EQ(info["Working directory"], "D:\\");
    EXPECT_EQ(info["Volume label"], "Data");
    auto [show, hotKey] = ShowCommandAndHotKey(file);
    EXPECT_EQ(show, 1u);
    EXPECT_EQ(hotKey, 0x0346);  // Ctrl+Shift, 'F'
}

TEST_F(LnkinfoTest, TheDefaultMachinesNotepadShortcutIsReadable) {
    auto info = Lnkinfo(shortcut_.GetProgramsFolder() + "Accessories\\Notepad.lnk");
    EXPECT_EQ(info["Local path"], "C:\\Windows\\System32\\notepad.exe");
    EXPECT_EQ(info["Description"], "Notepad");
}

}  // namespace
}  // namespace tamsel
