#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

// An executable shell script on the host, and the path under which the machine sees it (Z:).
std::string HostScript(sandbox::SandboxMachine& machine, const fs::path& path,
                       const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    return machine.WindowsPath(path);
}

using RunCommandTest = SandboxTest;

TEST_F(RunCommandTest, PassesTheExitStatusAndTheEnvironmentOn) {
    const fs::path seen = scratch_.Path() / "seen.txt";
    const std::string program =
        HostScript(*machine_, scratch_.Path() / "report",
                   "printf '%s\\n%s\\n' \"$TAMSEL_SANDBOX\" \"$TAMSEL_UI\" > '" + seen.string() +
                       "'\necho from-the-program\nexit 7");
    const auto run = Tool({"run", program}, {{"TAMSEL_UI", "script:/some/where"}});
    ASSERT_TRUE(run.problem.empty()) << run.problem;
    EXPECT_EQ(run.status, 7) << run.err;
    EXPECT_EQ(run.out, "from-the-program\n");
    // The program gets the sandbox's folder, absolute, and the rest of the caller's environment.
    std::ifstream in(seen);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              fs::absolute(MachineDir()).string() + "\nscript:/some/where\n");

    for (const char* missing :
         {"C:\\Program Files\\Tamsel Orry\\uninstall.exe", "C:\\Windows", "Q:\\nothing.exe"}) {
        const auto refused = Tool({"run", missing});
        EXPECT_EQ(refused.status, 127) << missing;
        EXPECT_FALSE(refused.err.empty()) << missing;
    }
    EXPECT_EQ(Tool({"run"}).status, 2);
    EXPECT_EQ(Tool({"run", "C:\\a.exe", "extra"}).status, 2);
}

TEST_F(RunCommandTest, TheApplicationRunsFromTheHostAndInstalledFromTheMachine) {
    const fs::path sample = BuiltFile("dist/TamselOrry.exe");
    const auto fromHost = Tool({"run", machine_->WindowsPath(sample)});
    EXPECT_EQ(fromHost.status, 0) << fromHost.err;
    EXPECT_EQ(fromHost.out,
              "Tamsel Orry is running from " + machine_->WindowsPath(sample.parent_path()) + "\n");
    // Setup's copies keep their execute permission.
    InstallWithSetup();
    const auto installed = Tool({"run", "c:\\program files\\tamsel orry\\TamselOrry.exe"});
    EXPECT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(installed.out, "Tamsel Orry is running from C:\\Program Files\\Tamsel Orry\n");
}

}  // namespace
}  // namespace tamsel::test
