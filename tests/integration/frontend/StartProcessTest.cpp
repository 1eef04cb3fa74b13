#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/sandbox/SandboxSystem.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

class StartProcessTest : public SandboxTest {
  protected:
    // An executable shell script on the host, by the path under which the machine sees it.
    std::string HostScript(const std::string& name, const std::string& body) {
        const fs::path path = scratch_.Path() / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
        return machine_->WindowsPath(path);
    }
    sandbox::SandboxSystem system_{*machine_};
};

// Waits for a file that a detached program writes. The limit only keeps a broken run from
// hanging; the program needs a fraction of it.
std::string WaitForFile(const fs::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(path);
        std::string text(std::istreambuf_iterator<char>(in), {});
        if (text.ends_with("end\n")) return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

TEST_F(StartProcessTest, StartsTheProgramDetachedWithTheSandboxAsItsMachine) {
    const std::string seen = (scratch_.Path() / "seen.txt").string();
    const std::string go = (scratch_.Path() / "go").string();
    // A file this process holds open, as the front end holds its log: not for the program.
    const int held = ::open((scratch_.Path() / "held.txt").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    // The program waits until the test lets it go: had StartProcess waited for it, it would
    // give up and say so.
    const std::string program =
        HostScript("app.exe", "i=0\nwhile [ ! -e '" + go + "' ] && [ $i -lt 600 ]; do sleep 0.1; " +
                                  "i=$((i+1)); done\n[ -e '" + go +
                                  "' ] && r=released || r=gave-up\n" + "[ -e /proc/self/fd/" +
                                  std::to_string(held) + " ] && r=\"$r with-the-file\"\n" +
                                  "printf '%s\\n%s\\n%s\\nend\\n' \"$r\" \"$TAMSEL_SANDBOX\" " +
                                  "\"$TAMSEL_UI_LOG\" > '" + seen + "'");
    ::setenv("TAMSEL_UI_LOG", "/passed/on.jsonl", 1);
    system_.StartProcess(program);
    ::unsetenv("TAMSEL_UI_LOG");
    ::close(held);
    // The program is nobody's child here: no zombie is left to this process.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    std::ofstream(go) << "go\n";
    EXPECT_EQ(WaitForFile(seen),
              "released\n" + machine_->Directory().string() + "\n/passed/on.jsonl\nend\n");
}

TEST_F(StartProcessTest, WhatCannotStartIsARunTimeErrorAndTheMachineGivesFolderAndEnvironment) {
    const auto startError = [&](const std::string& commandLine) {
        return ErrorOf([&] { system_.StartProcess(commandLine); });
    };
    EXPECT_EQ(startError("C:\\Program Files\\Tamsel Orry\\TamselOrry.exe"), err::kFileNotFound);
    EXPECT_EQ(startError("C:\\Windows"), err::kFileNotFound);
    // The whole command line is the path: quotes or arguments make it name no file.
    const std::string program = HostScript("ok.exe", "exit 0");
    EXPECT_NE(startError("\"" + program + "\""), 0);
    EXPECT_EQ(startError(program + " /quiet"), err::kFileNotFound);
    std::ofstream(scratch_.Path() / "readme.txt") << "just text\n";
    EXPECT_NE(startError(machine_->WindowsPath(scratch_.Path() / "readme.txt")), 0);

    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(system_.ProgramFolder(), machine_->WindowsPath(self.parent_path()));
    machine_->SetEnvironment("TAMSEL_TEST_VALUE", "from the machine");
    ::setenv("TAMSEL_TEST_VALUE", "from the host", 1);
    EXPECT_EQ(system_.EnvironmentVariable("TAMSEL_TEST_VALUE"), "from the machine");
    ::unsetenv("TAMSEL_TEST_VALUE");
}

}  // namespace
}  // namespace tamsel::test
