#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

using MachineTest = SandboxTest;

TEST_F(MachineTest, FileStateAndEnvironmentLiveInTheMachine) {
    PutFile("C:\\Windows\\a.txt");
    machine_->SetReadOnly("c:\\windows\\A.TXT", true);
    EXPECT_TRUE(machine_->IsReadOnly("C:/Windows/a.txt"));
    machine_->SetInUse("C:\\Windows\\a.txt", true);
    machine_->SetReadOnly("C:\\Windows\\a.txt", false);
    EXPECT_FALSE(machine_->IsReadOnly("C:\\Windows\\a.txt"));
    EXPECT_EQ(ErrorOf([&] { machine_->SetReadOnly("C:\\missing.txt", true); }), err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { machine_->SetInUse("C:\\missing.txt", false); }), 0);
    EXPECT_EQ(sandbox::SandboxMachine::Open(MachineDir())->IsInUse("C:\\WINDOWS\\.\\a.txt"), true);

    EXPECT_THROW(machine_->SetEnvironment("A=B", "x"), std::invalid_argument);
}

TEST_F(MachineTest, VolumesAreTheTwoDrivesAndRefuseAMissingCurrentDirectory) {
    Volumes& volumes = machine_->GetVolumes();
    const auto drives = volumes.Drives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[1].letter, 'd');
    EXPECT_EQ(volumes.CurrentDirectory('d'), "D:\\");
    PutFolder("D:\\Apps");
    volumes.SetCurrentDirectory('d', "d:\\apps");
    EXPECT_EQ(ErrorOf([&] { volumes.SetCurrentDirectory('d', "D:\\Nope"); }), err::kPathNotFound);
    EXPECT_EQ(volumes.CurrentDirectory('D'), "D:\\Apps");
    EXPECT_FALSE(volumes.DirectoryExists("C:\\..\\.."));
}

TEST_F(MachineTest, SpellingsOfAPathMapToTheExistingEntriesAndBack) {
    const fs::path drives = MachineDir() / "drives";
    const fs::path system32 = drives / "c" / "Windows" / "System32";
    for (const char* spelling :
         {"C:\\Windows\\System32", "c:/WINDOWS/system32", "C:\\Windows\\.\\Fonts\\..\\System32\\",
          "C:\\Windows\\System32. "}) {  // trailing dots and blanks of the last level go
        EXPECT_EQ(machine_->HostPath(spelling, false), system32) << spelling;
    }
    // A missing tail keeps the case it was given; no drive means C:.
    EXPECT_EQ(machine_->HostPath("c:\\windows\\NewDir\\File.TXT", true),
              drives / "c" / "Windows" / "NewDir" / "File.TXT");
    EXPECT_EQ(machine_->HostPath("\\Windows", false), drives / "c" / "Windows");
    EXPECT_EQ(machine_->WindowsPath(system32), "C:\\Windows\\System32");
    EXPECT_EQ(machine_->WindowsPath(drives / "d"), "D:\\");
    EXPECT_EQ(machine_->WindowsPath("/usr/bin"), "Z:\\usr\\bin");
}

TEST_F(MachineTest, PathsThatWouldLeaveTheSandboxOrWriteToTheHostAreRefused) {
    // Links out of the sandbox, or to nowhere, are refused; links within it are followed.
    const fs::path outside = scratch_.Path() / "outside";
    const fs::path c = MachineDir() / "drives" / "c";
    fs::create_directory(outside);
    fs::create_directory_symlink(outside, c / "escape");
    fs::create_symlink(scratch_.Path() / "nowhere", c / "dangling");
    fs::create_directory_symlink(MachineDir() / "drives" / "d", c / "toD");
    const std::pair<const char*, std::int32_t> paths[] = {
        {"C:\\..", err::kPermissionDenied},           {"c:\\ESCAPE\\x.txt", err::kPermissionDenied},
        {"C:\\dangling", err::kPermissionDenied},     {"C:\\toD\\x", 0},
        {"\\\\server\\share\\x", err::kPathNotFound},
    };
    for (const auto& [path, number] : paths) {
        EXPECT_EQ(ErrorOf([&] { machine_->HostPath(path, true); }), number) << path;
    }

    // Z: is the host, read-only: programs copy from it (as Setup does) but never change it.
    const fs::path file = scratch_.Path() / "host.txt";
    std::ofstream(file) << "host";
    auto fso = machine_->GetAutomation().CreateFileSystemObject();
    EXPECT_EQ(ErrorOf([&] { fso->DeleteFile(machine_->WindowsPath(file), true); }),
              err::kPermissionDenied);
    EXPECT_TRUE(fs::exists(file));
}

}  // namespace
}  // namespace tamsel::test
