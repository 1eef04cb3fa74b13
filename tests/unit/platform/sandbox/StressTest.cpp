// The sandbox under stress: a disk that has no room left, and several programs working on one
// machine at once. Each program is a forked child of the test; a child that hangs is ended by
// an alarm, so no test waits without end, and nothing here depends on timing.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sandbox/SqliteDatabase.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kChildSeconds = 60;  // a guard against a hung child, never a measure

struct ChildOutcome {
    int status = -1;
    std::string message;  // what the child reported: an error's text, or ""
};

// Runs `body` in a forked child; it reports a text (an error's message) through a pipe and
// ends with status 0 when the body returns "" and 1 otherwise. `startGate`, when not -1, is a
// descriptor the child reads from before it starts, so that several children start together.
pid_t StartChild(const std::function<std::string()>& body, int reportFd, int startGate = -1,
                 int gateWriter = -1) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::alarm(kChildSeconds);
    if (gateWriter >= 0) ::close(gateWriter);
    if (startGate >= 0) {
        char byte = 0;
        while (::read(startGate, &byte, 1) < 0 && errno == EINTR) {
        }
    }
    std::string message;
    try {
        message = body();
    } catch (const std::exception& error) {
        message = error.what();
        if (message.empty()) message = "an exception";
    }
    if (!message.empty() && ::write(reportFd, message.data(), message.size()) < 0) _exit(2);
    _exit(message.empty() ? 0 : 1);
}

ChildOutcome Finish(pid_t pid, int readFd) {
    ChildOutcome outcome;
    char buffer[4096];
    for (ssize_t got; (got = ::read(readFd, buffer, sizeof buffer)) > 0;) {
        outcome.message.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(readFd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

ChildOutcome RunInChild(const std::function<std::string()>& body) {
    int report[2];
    if (::pipe(report) != 0) return {};
    const pid_t pid = StartChild(body, report[1]);
    ::close(report[1]);
    return Finish(pid, report[0]);
}

// Runs `count` children that start at the same moment, and gives what each reported.
std::vector<ChildOutcome> RunTogether(int count, const std::function<std::string(int)>& body) {
    int gate[2];
    if (::pipe(gate) != 0) return {};
    std::vector<std::pair<pid_t, int>> children;
    for (int i = 0; i < count; ++i) {
        int report[2];
        if (::pipe(report) != 0) break;
        children.emplace_back(
            StartChild([&body, i] { return body(i); }, report[1], gate[0], gate[1]), report[0]);
        ::close(report[1]);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // every child's read returns now
    std::vector<ChildOutcome> outcomes;
    for (auto [pid, readFd] : children) outcomes.push_back(Finish(pid, readFd));
    return outcomes;
}

// In a child: no file may grow beyond `bytes`, and a write past it fails with an error
// instead of ending the process, as a write to a full disk does.
void LimitFileSize(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
}

// Entries of a folder whose names contain `part`.
std::vector<std::string> EntriesWith(const fs::path& folder, const std::string& part) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(part) != std::string::npos) found.push_back(name);
    }
    return found;
}

using StressTest = SandboxTest;

TEST_F(StressTest, AFullDiskIsReportedAsSuchAndLeavesNoHalfMadeFile) {
    const fs::path fresh = scratch_.Path() / "fresh";
    sandbox::SandboxMachine::Init(fresh);
    const std::string registryFile = (fresh / "registry.db").string();
    PutFile("C:\\big.bin", std::string(std::size_t{1} << 20, 'b'));

    struct Case {
        const char* what;
        std::function<std::string()> body;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"opening a registry",
         [&]() -> std::string {
             LimitFileSize(1);
             sandbox::SandboxMachine::Open(fresh);
             return "";
         },
         registryFile + ": disk full"},
        {"copying a file",
         [&]() -> std::string {
             auto machine = sandbox::SandboxMachine::Open(MachineDir());
             auto fso = machine->GetAutomation().CreateFileSystemObject();
             LimitFileSize(std::size_t{1} << 16);
             try {
                 fso->CopyFile("C:\\big.bin", "C:\\Windows\\copy.bin", true);
             } catch (const RuntimeError& error) {
                 return std::to_string(error.Number()) + " " + error.Description();
             }
             return "";
         },
         "61 Disk full"},
    };
    for (const auto& c : cases) {
        const ChildOutcome outcome = RunInChild(c.body);
        EXPECT_EQ(outcome.status, 1) << c.what;
        EXPECT_EQ(outcome.message, c.expected) << c.what;
    }
    EXPECT_FALSE(Exists("C:\\Windows\\copy.bin"));
    EXPECT_TRUE(EntriesWith(Host("C:\\Windows"), "copy").empty());
    // The registry that the full disk refused is whole and usable once there is room.
    EXPECT_EQ(sandbox::SandboxMachine::Open(fresh)->Environment("TEMP"),
              machine_->Environment("TEMP"));
}

// SQLite reports a write that found no room (ENOSPC) as SQLITE_FULL, as it reports a database
// that reached its page limit; the limit stands in for the full disk here.
TEST_F(StressTest, ADatabaseThatMayNotGrowFailsAsAFullDisk) {
    const fs::path file = scratch_.Path() / "small.db";
    sandbox::SqliteDatabase database(file, true);
    database.Execute("CREATE TABLE t(x BLOB)");
    database.Execute("PRAGMA max_page_count = 3");
    try {
        database.Execute("INSERT INTO t VALUES (zeroblob(100000))");
        ADD_FAILURE() << "the insert did not fail";
    } catch (const sandbox::DiskFullError& error) {
        EXPECT_EQ(std::string(error.what()), file.string() + ": disk full");
    }
}

TEST_F(StressTest, AFailedInitLeavesNoMachineAndNothingBesideIt) {
    const fs::path parent = scratch_.Path() / "parent";
    fs::create_directories(parent);
    const ChildOutcome outcome = RunInChild([&]() -> std::string {
        LimitFileSize(4096);
        sandbox::SandboxMachine::Init(parent / "machine");
        return "";
    });
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.message.find("disk full"), std::string::npos) << outcome.message;
    EXPECT_TRUE(fs::is_empty(parent));
    // Reset of a machine fails the same way, and the old machine stays whole.
    PutFile("C:\\kept.txt");
    const ChildOutcome reset = RunInChild([&]() -> std::string {
        LimitFileSize(4096);
        sandbox::SandboxMachine::Reset(MachineDir());
        return "";
    });
    EXPECT_EQ(reset.status, 1);
    EXPECT_TRUE(Exists("C:\\kept.txt"));
    EXPECT_EQ(EntriesWith(MachineDir().parent_path(), ".new-").size(), 0u);
}

TEST_F(StressTest, ProgramsOpeningAMissingMachineTogetherAllGetIt) {
    for (int trial = 0; trial < 5; ++trial) {
        const fs::path folder = scratch_.Path() / ("together" + std::to_string(trial));
        const auto outcomes = RunTogether(4, [&](int) -> std::string {
            auto machine = sandbox::SandboxMachine::Open(folder);
            return machine->Environment("TEMP").empty() ? "no TEMP" : "";
        });
        ASSERT_EQ(outcomes.size(), 4u);
        for (const auto& outcome : outcomes) {
            EXPECT_EQ(outcome.status, 0) << "trial " << trial << ": " << outcome.message;
        }
        EXPECT_TRUE(fs::exists(folder / ".tamsel-sandbox"));
        EXPECT_TRUE(EntriesWith(scratch_.Path(), ".new-").empty());
    }
}

TEST_F(StressTest, ProgramsCopyingToOneFileTogetherAllSucceedAndLeaveOneWholeCopy) {
    constexpr int kPrograms = 4;
    const std::size_t size = std::size_t{1} << 18;
    for (int i = 0; i < kPrograms; ++i) {
        PutFile("C:\\source" + std::to_string(i) + ".bin",
                std::string(size, static_cast<char>('a' + i)));
    }
    PutFolder("C:\\Target");
    for (int trial = 0; trial < 3; ++trial) {
        const auto outcomes = RunTogether(kPrograms, [&](int i) -> std::string {
            auto machine = sandbox::SandboxMachine::Open(MachineDir());
            for (int copy = 0; copy < 10; ++copy) {
                auto fso = machine->GetAutomation().CreateFileSystemObject();
                fso->CopyFile("C:\\source" + std::to_string(i) + ".bin", "C:\\Target\\app.exe",
                              true);
            }
            return "";
        });
        for (const auto& outcome : outcomes) {
            EXPECT_EQ(outcome.status, 0) << "trial " << trial << ": " << outcome.message;
        }
        const std::string result = Read("C:\\Target\\app.exe");
        ASSERT_EQ(result.size(), size);
        EXPECT_EQ(result, std::string(size, result[0]));
        EXPECT_EQ(EntriesWith(Host("C:\\Target"), "copying").size(), 0u);
    }
}

}  // namespace
}  // namespace tamsel::test
