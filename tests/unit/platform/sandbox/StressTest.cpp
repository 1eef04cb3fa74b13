// The sandbox under stress: a disk that has no room left, and several programs working on one
// machine at once. Each program is a forked child of the test; a child that hangs is ended by
// an alarm, so no test waits without end, and nothing here depends on timing.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;

// Runs a program's body in this forked child and ends the child: with status 0 when the body
// returns, or with status 1 after writing what it threw to stderr. An alarm ends a hung child.
[[noreturn]] void RunAsProgram(const std::function<void()>& body) {
    ::alarm(60);  // a guard against a hung child, never a measure
    try {
        body();
        _exit(0);
    } catch (const RuntimeError& error) {
        std::cerr << error.Number() << " " << error.Description();
    } catch (const std::exception& error) {
        std::cerr << error.what();
    }
    _exit(1);
}

// Runs `count` forked children that start together (each reads the closed gate first); returns
// how each ended (its status, 128 + the signal that ended it).
std::vector<int> RunTogether(int count, const std::function<void(int)>& body) {
    int gate[2];
    if (::pipe(gate) != 0) return {};
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char byte = 0;  // no handler is set, so no signal interrupts the read
            if (::read(gate[0], &byte, 1) != 0) _exit(3);
            RunAsProgram([&] { body(i); });
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // every child's read returns now
    std::vector<int> endings;
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        endings.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
    return endings;
}

// Whether a folder holds an entry whose name contains `part`.
bool HasEntryWith(const fs::path& folder, const std::string& part) {
    return std::ranges::any_of(fs::directory_iterator(folder), [&](const fs::path& entry) {
        return entry.filename().string().find(part) != std::string::npos;
    });
}

// Copies a file as a program of its own does: on the machine opened anew.
void CopyOn(const fs::path& machine, const std::string& from, const std::string& to) {
    sandbox::SandboxMachine::Open(machine)->GetAutomation().CreateFileSystemObject()->CopyFile(
        from, to, true);
}

using StressTest = SandboxTest;

// Each call runs in a child in which no file may grow beyond a limit, and a write past it fails
// with an error instead of ending the process, as a write to a full disk does.
TEST_F(StressTest, AFullDiskIsReportedAsSuchAndLeavesNothingHalfMade) {
    const fs::path fresh = scratch_.Path() / "fresh";
    const fs::path parent = scratch_.Path() / "parent";
    sandbox::SandboxMachine::Init(fresh);
    fs::create_directories(parent);
    PutFile("C:\\big.bin", std::string(std::size_t{1} << 20, 'b'));
    struct Row {
        rlim_t limit;
        std::function<void()> call;
        std::string message;
    };
    const Row rows[] = {
        {1, [&] { sandbox::SandboxMachine::Open(fresh); }, "registry.db: disk full"},
        {1 << 16, [&] { CopyOn(MachineDir(), "C:\\big.bin", "C:\\Windows\\copy.bin"); },
         "61 Disk full"},
        {4096, [&] { sandbox::SandboxMachine::Init(parent / "machine"); }, "disk full"},
        {4096, [&] { sandbox::SandboxMachine::Reset(MachineDir()); }, "disk full"},
    };
    for (const Row& row : rows) {
        EXPECT_EXIT(RunAsProgram([&] {
                        ::signal(SIGXFSZ, SIG_IGN);
                        rlimit room{};
                        ::getrlimit(RLIMIT_FSIZE, &room);
                        const rlimit full{row.limit, room.rlim_max};
                        ::setrlimit(RLIMIT_FSIZE, &full);  // failing, the row fails
                        try {
                            row.call();
                        } catch (...) {
                            ::setrlimit(RLIMIT_FSIZE, &room);  // for the message
                            throw;
                        }
                    }),
                    ::testing::ExitedWithCode(1), row.message + "$");
    }
    EXPECT_FALSE(HasEntryWith(Host("C:\\Windows"), "copy"));
    EXPECT_TRUE(fs::is_empty(parent));
    EXPECT_TRUE(Exists("C:\\big.bin"));
    EXPECT_FALSE(HasEntryWith(scratch_.Path(), ".new-"));
    // The registry that the full disk refused is whole and usable once there is room.
    EXPECT_EQ(sandbox::SandboxMachine::Open(fresh)->Environment("TEMP"),
              machine_->Environment("TEMP"));
}

TEST_F(StressTest, ProgramsOpeningAMissingMachineTogetherAllGetIt) {
    for (int trial = 0; trial < 5; ++trial) {
        const fs::path folder = scratch_.Path() / ("together" + std::to_string(trial));
        const auto open = [&](int) {
            if (sandbox::SandboxMachine::Open(folder)->Environment("TEMP").empty()) _exit(2);
        };
        EXPECT_THAT(RunTogether(4, open), Each(0)) << "trial " << trial;
        EXPECT_TRUE(fs::exists(folder / ".tamsel-sandbox"));
        EXPECT_FALSE(HasEntryWith(scratch_.Path(), ".new-"));
    }
}

TEST_F(StressTest, ProgramsCopyingToOneFileTogetherAllSucceedAndLeaveOneWholeCopy) {
    const std::size_t size = std::size_t{1} << 18;
    for (int i = 0; i < 4; ++i) {
        PutFile("C:\\source" + std::to_string(i), std::string(size, static_cast<char>('a' + i)));
    }
    PutFolder("C:\\Target");
    const auto copy = [&](int i) {
        for (int time = 0; time < 10; ++time) {
            CopyOn(MachineDir(), "C:\\source" + std::to_string(i), "C:\\Target\\app.exe");
        }
    };
    for (int trial = 0; trial < 3; ++trial) {
        EXPECT_THAT(RunTogether(4, copy), Each(0)) << "trial " << trial;
        const std::string result = Read("C:\\Target\\app.exe");
        ASSERT_EQ(result.size(), size);
        EXPECT_EQ(result, std::string(size, result[0]));
        EXPECT_FALSE(HasEntryWith(Host("C:\\Target"), "copying"));
    }
}

}  // namespace
}  // namespace tamsel::test
