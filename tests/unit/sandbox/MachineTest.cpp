#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "SandboxFixture.h"
#include "platform/sandbox/DefaultMachine.h"

namespace tamsel::sandbox {
namespace {

namespace fs = std::filesystem;

// What Open, Init and Reset make of a folder.
TEST(MachineFolderTest, ForeignFoldersAreNeverTakenOrWiped) {
    test::ScratchDirectory scratch;
    fs::path foreign = scratch.Path() / "foreign";
    fs::create_directory(foreign);
    std::ofstream(foreign / "notes.txt") << "mine";

    for (auto attempt : {+[](const fs::path& dir) { SandboxMachine::Open(dir); },
                         +[](const fs::path& dir) { SandboxMachine::Init(dir); },
                         +[](const fs::path& dir) { SandboxMachine::Reset(dir); }}) {
        try {
            attempt(foreign);
            ADD_FAILURE() << "a folder with other files was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(foreign.string()), std::string::npos)
                << error.what();
        }
    }
    EXPECT_TRUE(fs::exists(foreign / "notes.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(foreign), fs::directory_iterator()), 1);
}

TEST(MachineFolderTest, ResetBringsBackTheDefaultMachine) {
    test::ScratchDirectory scratch;
    fs::path folder = scratch.Path() / "machine";
    {
        auto machine = SandboxMachine::Open(folder);  // missing folder: a new machine
        std::ofstream(machine->HostPath("D:\\left.txt", true)) << "x";
        machine->SetReadOnly("C:\\Windows", true);
        machine->SetScriptingHostAvailable(false);
        machine->SetEnvironment("EXTRA", "1");
    }
    EXPECT_THROW(SandboxMachine::Init(folder), std::runtime_error);
    SandboxMachine::Reset(folder);
    auto machine = SandboxMachine::Open(folder);
    EXPECT_FALSE(fs::exists(machine->HostPath("D:\\left.txt", false)));
    EXPECT_FALSE(machine->IsReadOnly("C:\\Windows"));
    EXPECT_TRUE(machine->ScriptingHostAvailable());
    EXPECT_EQ(machine->Environment("EXTRA"), "");
    EXPECT_TRUE(fs::is_directory(machine->HostPath(kTemp, false)));

    fs::path empty = scratch.Path() / "empty";
    fs::create_directory(empty);
    SandboxMachine::Init(empty);
    EXPECT_TRUE(fs::is_directory(SandboxMachine::Open(empty)->HostPath("D:\\", false)));
}

using MachineTest = SandboxFixture;

TEST_F(MachineTest, FileStateIsKeptByPathWithoutRegardToCase) {
    WriteFile("C:\\Windows\\a.txt", "x");
    machine_->SetReadOnly("c:\\windows\\A.TXT", true);
    EXPECT_TRUE(machine_->IsReadOnly("C:/Windows/a.txt"));
    EXPECT_FALSE(machine_->IsInUse("C:\\Windows\\a.txt"));
    machine_->SetInUse("C:\\Windows\\a.txt", true);
    machine_->SetReadOnly("C:\\Windows\\a.txt", false);
    EXPECT_FALSE(machine_->IsReadOnly("C:\\Windows\\a.txt"));
    EXPECT_TRUE(machine_->IsInUse("C:\\Windows\\.\\a.txt"));

    // Setting state needs something to set it on; clearing never fails.
    EXPECT_EQ(ErrorOf([&] { machine_->SetReadOnly("C:\\missing.txt", true); }), err::kFileNotFound);
    EXPECT_EQ(ErrorOf([&] { machine_->SetInUse("C:\\missing.txt", false); }), 0);
    EXPECT_FALSE(machine_->IsReadOnly("Q:\\bad"));

    // State survives reopening: it lives in the machine, not in the object.
    machine_.reset();
    machine_ = SandboxMachine::Open(scratch_.Path() / "machine");
    EXPECT_TRUE(machine_->IsInUse("C:\\WINDOWS\\a.txt"));
}

TEST_F(MachineTest, EnvironmentLivesInTheRegistry) {
    EXPECT_EQ(machine_->Environment("TEMP"), kTemp);
    EXPECT_EQ(machine_->Environment("temp"), kTemp);
    machine_->SetEnvironment("TEMP", "D:\\Tmp");
    EXPECT_EQ(machine_->GetSystem().EnvironmentVariable("TEMP"), "D:\\Tmp");
    machine_->SetEnvironment("WHERE", "%TEMP%\\x");
    EXPECT_EQ(machine_->Environment("WHERE"), "D:\\Tmp\\x");
    machine_->SetEnvironment("WHERE", "");
    EXPECT_EQ(machine_->Environment("WHERE"), "");
    EXPECT_THROW(machine_->SetEnvironment("A=B", "x"), std::invalid_argument);
}

TEST_F(MachineTest, VolumesListTheDrivesAndKeepACurrentDirectoryEach) {
    Volumes& volumes = machine_->GetVolumes();
    auto drives = volumes.Drives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].letter, 'c');
    EXPECT_EQ(drives[0].label, kSystemDriveLabel);
    EXPECT_EQ(drives[1].letter, 'd');
    EXPECT_EQ(drives[1].label, kDataDriveLabel);

    EXPECT_EQ(volumes.CurrentDirectory('d'), "D:\\");
    fso_->CreateFolder("D:\\Apps");
    volumes.SetCurrentDirectory('d', "d:\\apps");
    EXPECT_EQ(volumes.CurrentDirectory('D'), "D:\\Apps");
    EXPECT_EQ(ErrorOf([&] { volumes.SetCurrentDirectory('d', "D:\\Nope"); }), err::kPathNotFound);
    EXPECT_EQ(volumes.CurrentDirectory('d'), "D:\\Apps");

    EXPECT_TRUE(volumes.DirectoryExists("C:\\Users\\User"));
    EXPECT_FALSE(volumes.DirectoryExists("C:\\..\\.."));
    fso_->CreateFolder("D:\\apps\\zeta");
    fso_->CreateFolder("D:\\apps\\Beta");
    fso_->CreateFolder("D:\\apps\\alpha");
    WriteFile("D:\\Apps\\file.txt", "x");
    EXPECT_EQ(volumes.SubDirectories("D:\\Apps"),
              (std::vector<std::string>{"alpha", "Beta", "zeta"}));
    EXPECT_TRUE(volumes.SubDirectories("D:\\Missing").empty());
}

}  // namespace
}  // namespace tamsel::sandbox
