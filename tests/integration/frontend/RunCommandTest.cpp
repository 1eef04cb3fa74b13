#include <gtest/gtest.h>

#include "SandboxProgramsFixture.h"

namespace tamsel::test {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RunCommandTest : public SandboxProgramsFixture {};

TEST_F(RunCommandTest, PassesTheExitStatusAndTheEnvironmentOn) {
    const auto seen = HostDir() / "seen.txt";
    const auto program =
        HostScript("report", "printf '%s\\n%s\\n' \"$TAMSEL_SANDBOX\" \"$TAMSEL_UI\" > '" +
                                 seen.string() + "'\necho from-the-program\nexit 7");
    const auto run = Tool({"run", WindowsPathOf(program)},
                          {{"TAMSEL_UI", "script:/some/where"}, {"TAMSEL_UI_LOG", std::nullopt}});
    ASSERT_TRUE(run.problem.empty()) << run.problem;
    EXPECT_EQ(run.status, 7) << run.err;
    EXPECT_EQ(run.out, "from-the-program\n");
    // The program gets the sandbox's folder, absolute, and the rest of the caller's environment.
    EXPECT_EQ(ReadFile(seen),
              std::filesystem::absolute(SandboxDir()).string() + "\nscript:/some/where\n");

    EXPECT_EQ(Tool({"run", WindowsPathOf(HostScript("fine", "exit 0"))}).status, 0);
}

TEST_F(RunCommandTest, RefusesWhatItCannotRun) {
    const auto missing = Tool({"run", "C:\\Program Files\\Tamsel Orry\\uninstall.exe"});
    EXPECT_EQ(missing.status, 127);
    EXPECT_NE(missing.err.find("uninstall.exe"), std::string::npos) << missing.err;

    const auto folder = Tool({"run", "C:\\Windows"});
    EXPECT_EQ(folder.status, 127) << folder.err;

    const auto onNoDrive = Tool({"run", "Q:\\nothing.exe"});
    EXPECT_EQ(onNoDrive.status, 127) << onNoDrive.err;

    EXPECT_EQ(Tool({"run"}).status, 2);
    EXPECT_EQ(Tool({"run", "C:\\a.exe", "extra"}).status, 2);
}

TEST_F(RunCommandTest, TheSampleApplicationSaysWhereItRunsFrom) {
    const auto sample = BuiltFile("sample/TamselOrry.exe");
    if (!std::filesystem::exists(sample)) GTEST_SKIP() << "the sample application is not built";

    // Started from the host, its folder is on Z:.
    const auto fromHost = Tool({"run", WindowsPathOf(sample)});
    EXPECT_EQ(fromHost.status, 0) << fromHost.err;
    EXPECT_EQ(fromHost.out,
              "Tamsel Orry is running from " + WindowsPathOf(sample.parent_path()) + "\n");

    // Copied into the machine, it runs from its drive C:.
    const auto installed = HostPathOf("C:\\Apps\\Tamsel Orry\\TamselOrry.exe");
    std::filesystem::create_directories(installed.parent_path());
    std::filesystem::copy_file(sample, installed);
    const auto fromMachine = Tool({"run", "c:\\apps\\tamsel orry\\TamselOrry.exe"});
    EXPECT_EQ(fromMachine.status, 0) << fromMachine.err;
    EXPECT_EQ(fromMachine.out, "Tamsel Orry is running from C:\\Apps\\Tamsel Orry\n");
}

}  // namespace
}  // namespace tamsel::test
