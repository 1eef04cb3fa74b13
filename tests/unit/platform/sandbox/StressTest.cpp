// The sandbox under stress: a disk that has no room left, and several programs working on one
// machine at once. Each program is a forked child of the test; a child that hangs is ended by
// an alarm, so no test waits without end, and nothing here depends on timing.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

// Runs `count` forked children that start together (each reads the closed gate first). Each
// reports in `err` what its body returns or throws, and ends with status 0 when that is "", 1
// otherwise.
std::vector<ProcessResult> RunTogether(int count, const std::function<std::string(int)>& body) {
    int gate[2];
    if (::pipe(gate) != 0) return {};
    std::vector<std::pair<pid_t, int>> children;
    for (int i = 0; i < count; ++i) {
        int report[2];
        if (::pipe(report) != 0) break;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(60);  // a guard against a hung child, never a measure
            ::close(gate[1]);
            char byte = 0;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            }
            std::string message;
            try {
                message = body(i);
            } catch (const RuntimeError& error) {
                message = std::to_string(error.Number()) + " " + error.Description();
            } catch (const std::exception& error) {
                message = *error.what() != '\0' ? error.what() : "an exception";
            }
            if (::write(report[1], message.data(), message.size()) < 0) _exit(2);
            _exit(message.empty() ? 0 : 1);
        }
        ::close(report[1]);
        children.emplace_back(pid, report[0]);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // every child's read returns now
    std::vector<ProcessResult> outcomes;
    for (auto [pid, readFd] : children) {
        ProcessResult& outcome = outcomes.emplace_back();
        char buffer[4096];
        for (ssize_t got; (got = ::read(readFd, buffer, sizeof buffer)) > 0;) {
            outcome.err.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(readFd);
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return outcomes;
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
        {1, [&] { sandbox::SandboxMachine::Open(fresh); },
         (fresh / "registry.db").string() + ": disk full"},
        {1 << 16, [&] { CopyOn(MachineDir(), "C:\\big.bin", "C:\\Windows\\copy.bin"); },
         "61 Disk full"},
        {4096, [&] { sandbox::SandboxMachine::Init(parent / "machine"); }, "disk full"},
        {4096, [&] { sandbox::SandboxMachine::Reset(MachineDir()); }, "disk full"},
    };
    for (const Row& row : rows) {
        const auto outcomes = RunTogether(1, [&](int) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{row.limit, row.limit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed");
            row.call();
            return std::string();
        });
        EXPECT_EQ(outcomes.at(0).status, 1) << outcomes[0].err;
        EXPECT_TRUE(outcomes[0].err.ends_with(row.message)) << outcomes[0].err;
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
        for (const auto& outcome : RunTogether(4, [&](int) -> std::string {
                 auto machine = sandbox::SandboxMachine::Open(folder);
                 return machine->Environment("TEMP").empty() ? "no TEMP" : "";
             })) {
            EXPECT_EQ(outcome.status, 0) << "trial " << trial << ": " << outcome.err;
        }
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
    for (int trial = 0; trial < 3; ++trial) {
        for (const auto& outcome : RunTogether(4, [&](int i) {
                 for (int copy = 0; copy < 10; ++copy) {
                     CopyOn(MachineDir(), "C:\\source" + std::to_string(i), "C:\\Target\\app.exe");
                 }
                 return std::string();
             })) {
            EXPECT_EQ(outcome.status, 0) << "trial " << trial << ": " << outcome.err;
        }
        const std::string result = Read("C:\\Target\\app.exe");
        ASSERT_EQ(result.size(), size);
        EXPECT_EQ(result, std::string(size, result[0]));
        EXPECT_FALSE(HasEntryWith(Host("C:\\Target"), "copying"));
    }
}

}  // namespace
}  // namespace tamsel::test
