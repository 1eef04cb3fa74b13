// Programs of the machine started from outside (`tamsel-sandbox run`) and from inside
// (StartProcess, as Setup starts the application).
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

class StartProgramTest : public SandboxTest {
  protected:
    // An executable shell script on the host, by the path under which the machine sees it (Z:).
    std::string HostScript(const std::string& name, const std::string& body) {
        const fs::path path = scratch_.Path() / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
        return machine_->WindowsPath(path);
    }
    sandbox::SandboxSystem system_{*machine_};
};

// `run` passes on the program's output and exit status, and starts programs of the host (Z:).
TEST_F(StartProgramTest, RunStartsTheApplicationFromTheHost) {
    const fs::path sample = BuiltFile("dist/TamselOrry.exe");
    const auto run = Tool({"run", machine_->WindowsPath(sample)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Tamsel Orry is running from " + machine_->WindowsPath(sample.parent_path()) + "\n");
}

TEST_F(StartProgramTest, StartProcessStartsTheProgramDetachedWithTheSandboxAsItsMachine) {
    // A file this process holds open, as the front end holds its log: not for the program.
    const int held = ::open((scratch_.Path() / "held.txt").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    // The program waits for a file "go" beside it, then writes what it saw to "seen": had
    // StartProcess waited for it, it would give up and say so.
    const std::string program =
        HostScript("app.exe",
                   "cd \"$(dirname \"$0\")\"; i=0\n"
                   "while [ ! -e go ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n"
                   "[ -e go ] && r=released || r=gave-up\n[ -e /proc/self/fd/" +
                       std::to_string(held) + " ] && r=\"$r with-the-file\"\n" +
                       "printf '%s\\n%s\\n%s\\nend\\n' \"$r\" \"$TAMSEL_SANDBOX\" "
                       "\"$TAMSEL_UI_LOG\" > seen");
    ::setenv("TAMSEL_UI_LOG", "/passed/on.jsonl", 1);
    system_.StartProcess(program);
    ::unsetenv("TAMSEL_UI_LOG");
    ::close(held);
    // The program is nobody's child here: no zombie is left to this process.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    std::ofstream(scratch_.Path() / "go") << "go\n";
    // The limit only keeps a broken run from hanging; the program needs a fraction of it.
    const fs::path seen = scratch_.Path() / "seen";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!ReadHostFile(seen).ends_with("end\n") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ReadHostFile(seen),
              "released\n" + machine_->Directory().string() + "\n/passed/on.jsonl\nend\n");
}

// What cannot start is the error Windows reports: the whole command line is the path, so quotes
// or arguments make it name no file.
TEST_F(StartProgramTest, WhatCannotStartIsARunTimeError) {
    const auto startError = [&](const std::string& commandLine) {
        return ErrorOf([&] { system_.StartProcess(commandLine); });
    };
    EXPECT_EQ(startError("C:\\Windows"), err::kFileNotFound);
    const std::string program = HostScript("ok.exe", "exit 0");
    EXPECT_NE(startError("\"" + program + "\""), 0);
    EXPECT_EQ(startError(program + " /quiet"), err::kFileNotFound);
    std::ofstream(scratch_.Path() / "readme.txt") << "just text\n";
    EXPECT_EQ(startError(machine_->WindowsPath(scratch_.Path() / "readme.txt")),
              err::kPermissionDenied);
}

}  // namespace
}  // namespace tamsel::test
