#include <filesystem>
#include <fstream>

#include "SandboxFixture.h"

namespace tamsel::sandbox {
namespace {

namespace fs = std::filesystem;

class PathMappingTest : public SandboxFixture {
  protected:
    fs::path Drive(char letter) {
        return machine_->Directory() / "drives" / std::string(1, letter);
    }
};

TEST_F(PathMappingTest, SpellingsOfOnePathMapToTheExistingEntries) {
    const fs::path windows = Drive('c') / "Windows" / "System32";
    EXPECT_EQ(machine_->HostPath("C:\\Windows\\System32", false), windows);
    EXPECT_EQ(machine_->HostPath("c:/WINDOWS/system32", false), windows);
    EXPECT_EQ(machine_->HostPath("C:\\Windows\\.\\Fonts\\..\\System32\\", false), windows);
    // Trailing dots and blanks of a name are dropped, as Windows does.
    EXPECT_EQ(machine_->HostPath("C:\\Windows. \\System32", false), windows);
    // A missing tail keeps the case it was given; the existing head takes the stored case.
    EXPECT_EQ(machine_->HostPath("c:\\windows\\NewDir\\File.TXT", true),
              Drive('c') / "Windows" / "NewDir" / "File.TXT");
    EXPECT_EQ(machine_->HostPath("d:", false), Drive('d'));
    // No drive: the root of C:.
    EXPECT_EQ(machine_->HostPath("\\Windows", false), Drive('c') / "Windows");
}

TEST_F(PathMappingTest, WindowsPathIsTheInverseOnTheDrivesAndZElsewhere) {
    EXPECT_EQ(machine_->WindowsPath(Drive('c') / "Windows" / "System32"), "C:\\Windows\\System32");
    EXPECT_EQ(machine_->WindowsPath(Drive('d')), "D:\\");
    EXPECT_EQ(machine_->WindowsPath(Drive('c') / "Windows" / ""), "C:\\Windows");
    EXPECT_EQ(machine_->WindowsPath("/usr/bin"), "Z:\\usr\\bin");
    EXPECT_EQ(machine_->WindowsPath("/"), "Z:\\");
    std::string outside = machine_->WindowsPath(machine_->Directory() / "machine.db");
    EXPECT_EQ(outside.rfind("Z:\\", 0), 0u) << outside;
    EXPECT_EQ(outside.substr(outside.size() - 11), "\\machine.db") << outside;
}

TEST_F(PathMappingTest, PathsThatWouldLeaveADriveAreRefused) {
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\..", false); }), err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\Windows\\..\\..\\machine.db", false); }),
              err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("..\\x", true); }), err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("Q:\\x", false); }), err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("\\\\server\\share\\x", false); }),
              err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\a<b", true); }), err::kBadFileName);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\a:b", true); }), err::kBadFileName);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\*.txt", false); }), err::kBadFileName);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("", false); }), err::kBadFileName);
}

TEST_F(PathMappingTest, LinksOutOfTheSandboxAreRefusedAndLinksWithinItFollowed) {
    fs::path outside = scratch_.Path() / "outside";
    fs::create_directory(outside);
    fs::create_directory_symlink(outside, Drive('c') / "escape");
    fs::create_symlink(scratch_.Path() / "nowhere", Drive('c') / "dangling");
    fs::create_directory_symlink(Drive('d'), Drive('c') / "toD");

    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\escape\\file.txt", true); }),
              err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("c:\\ESCAPE", false); }), err::kPermissionDenied);
    // A link that leads nowhere could be written through to anywhere.
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\dangling", true); }), err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { machine_->HostPath("C:\\toD\\x", true); }), 0);

    EXPECT_FALSE(fso_->FolderExists("C:\\escape"));
    EXPECT_EQ(ErrorOf([&] { fso_->CreateTextFile("C:\\escape\\x.txt", true); }),
              err::kPermissionDenied);
    EXPECT_TRUE(fs::is_empty(outside));
}

TEST_F(PathMappingTest, DriveZIsTheHostReadOnly) {
    EXPECT_EQ(machine_->HostPath("Z:\\", false), fs::path("/"));
    fs::path file = scratch_.Path() / "host.txt";
    std::ofstream(file) << "host";
    std::string windowsPath = machine_->WindowsPath(file);
    EXPECT_TRUE(fso_->FileExists(windowsPath));

    EXPECT_EQ(ErrorOf([&] { machine_->HostPath(windowsPath, true); }), err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile(windowsPath, true); }), err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { fso_->CreateTextFile(windowsPath, true); }), err::kPermissionDenied);
    EXPECT_TRUE(fs::exists(file));
    // Copying from the host into the machine is how Setup gets its files.
    fso_->CopyFile(windowsPath, "C:\\host.txt", true);
    EXPECT_EQ(ReadFile("C:\\host.txt"), "host");
}

}  // namespace
}  // namespace tamsel::sandbox
