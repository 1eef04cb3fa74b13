#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "SandboxProgramsFixture.h"
#include "common/RuntimeError.h"
#include "platform/sandbox/SandboxSystem.h"

namespace tamsel::test {
namespace {

class StartProcessTest : public SandboxProgramsFixture {};

// Waits for a file that a detached program writes. The limit only keeps a broken run from
// hanging; the program needs a fraction of it.
std::string WaitForFile(const std::filesystem::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(path);
        std::string text(std::istreambuf_iterator<char>(in), {});
        if (text.find("end\n") != std::string::npos) return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

int NumberOfStartFailure(sandbox::SandboxSystem& system, const std::string& commandLine) {
    try {
        system.StartProcess(commandLine);
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST_F(StartProcessTest, StartsTheProgramDetachedWithTheSandboxAsItsMachine) {
    const std::string seen = (HostDir() / "seen.txt").string();
    const std::string go = (HostDir() / "go").string();
    // A file this process holds open, as the front end holds its log: not for the program.
    const int held = ::open((HostDir() / "held.txt").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    const std::string heldFd = "/proc/self/fd/" + std::to_string(held);
    // The program waits until the test lets it go: had StartProcess waited for it, it would
    // give up and say so.
    const std::string body =
        "i=0\n"
        "while [ ! -e '" +
        go +
        "' ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n"
        "[ -e '" +
        go +
        "' ] && r=released || r=gave-up\n"
        "[ -e " +
        heldFd +
        " ] && r=\"$r with-the-file\"\n"
        "printf '%s\\n%s\\n%s\\nend\\n' \"$r\" \"$TAMSEL_SANDBOX\" \"$TAMSEL_UI_LOG\" > '" +
        seen + "'";
    const auto program = HostScript("app.exe", body);

    ::setenv("TAMSEL_UI_LOG", "/passed/on.jsonl", 1);
    auto machine = sandbox::SandboxMachine::Open(SandboxDir());
    sandbox::SandboxSystem system(*machine);
    system.StartProcess(WindowsPathOf(program));
    ::unsetenv("TAMSEL_UI_LOG");
    ::close(held);
    // The program is nobody's child here: no zombie is left to this process.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    std::ofstream(go) << "go\n";
    EXPECT_EQ(WaitForFile(seen),
              "released\n" + machine->Directory().string() + "\n/passed/on.jsonl\nend\n");
}

TEST_F(StartProcessTest, AProgramThatCannotStartIsARunTimeError) {
    auto machine = sandbox::SandboxMachine::Open(SandboxDir());
    sandbox::SandboxSystem system(*machine);
    EXPECT_EQ(NumberOfStartFailure(system, "C:\\Program Files\\Tamsel Orry\\TamselOrry.exe"),
              err::kFileNotFound);
    EXPECT_EQ(NumberOfStartFailure(system, "C:\\Windows"), err::kFileNotFound);
    // The whole command line is the path: quotes or arguments make it name no file.
    const auto program = HostScript("ok.exe", "exit 0");
    EXPECT_NE(NumberOfStartFailure(system, "\"" + WindowsPathOf(program) + "\""), 0);
    EXPECT_EQ(NumberOfStartFailure(system, WindowsPathOf(program) + " /quiet"), err::kFileNotFound);
    // A file that is no program.
    const auto text = HostDir() / "readme.txt";
    std::ofstream(text) << "just text\n";
    EXPECT_NE(NumberOfStartFailure(system, WindowsPathOf(text)), 0);
}

TEST_F(StartProcessTest, ProgramFolderAndEnvironmentComeFromTheMachine) {
    auto machine = sandbox::SandboxMachine::Open(SandboxDir());
    sandbox::SandboxSystem system(*machine);
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(system.ProgramFolder(), machine->WindowsPath(self.parent_path()));
    EXPECT_EQ(system.ProgramFolder().back() == '\\', false);
    machine->SetEnvironment("TAMSEL_TEST_VALUE", "from the machine");
    ::setenv("TAMSEL_TEST_VALUE", "from the host", 1);
    EXPECT_EQ(system.EnvironmentVariable("TAMSEL_TEST_VALUE"), "from the machine");
    ::unsetenv("TAMSEL_TEST_VALUE");
}

}  // namespace
}  // namespace tamsel::test
