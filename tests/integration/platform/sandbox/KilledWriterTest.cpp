// Every registry write that returned survives a kill of the writing program (SIGKILL, at any
// point of a write), and the database stays sound.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sandbox/SqliteDatabase.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RegistryValues.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {
namespace {

using namespace tamsel::test;

std::string KeyOf(std::uint32_t i) { return "SOFTWARE\\Loop\\Key" + std::to_string(i % 7); }
std::string NameOf(std::uint32_t i) { return "Value" + std::to_string(i); }
std::string TextOf(std::uint32_t i) {
    // A large value now and then, so that a kill can also land in a multi-page write.
    return i % 5 == 0 ? std::string(20000, 'b') : "written by step " + std::to_string(i);
}

// Starts a writer that writes values first, first + 1, ... for ever and reports the number of
// each write once it has returned; kills it after `atLeast` reports and returns them all.
std::vector<std::uint32_t> WriteAndKill(const std::filesystem::path& file, std::uint32_t first,
                                        std::size_t atLeast) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);  // a failure ends the child with a status or SIGABRT, never SIGKILL
        auto registry = SqliteRegistry::Open(file);
        for (std::uint32_t i = first;; ++i) {
            if (PutText(*registry, reg::kLocalMachine, KeyOf(i), NameOf(i), TextOf(i)) != 0 ||
                write(fds[1], &i, sizeof i) != sizeof i) {
                _exit(3);
            }
        }
    }
    close(fds[1]);
    std::vector<std::uint32_t> reported;
    for (std::uint32_t number = 0; read(fds[0], &number, sizeof number) == sizeof number;) {
        reported.push_back(number);  // and what it reported before it died
        if (reported.size() == atLeast) kill(child, SIGKILL);
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the writer ended on its own, status " << status;
    return reported;
}

TEST(KilledRegistryWriter, EveryReportedWriteSurvivesAndTheDatabaseStaysSound) {
    ScratchDirectory dir;
    const auto file = dir.Path() / "registry.db";
    SqliteRegistry::Open(file);  // created up front, so every child opens an existing file

    std::vector<std::uint32_t> all;
    for (int round = 0; round < 4; ++round) {
        const auto reported = WriteAndKill(file, all.empty() ? 0 : all.back() + 1, 60 + 25 * round);
        all.insert(all.end(), reported.begin(), reported.end());

        SqliteDatabase database(file, false);
        auto check = database.Prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check->Step());
        ASSERT_EQ(check->ColumnText(0), "ok") << "after round " << round;
        auto registry = SqliteRegistry::Open(file);
        for (std::uint32_t i : all) {
            ASSERT_EQ(Get(*registry, reg::kLocalMachine, KeyOf(i), NameOf(i)).data,
                      BytesOf(TextOf(i) + '\0'))
                << "write " << i << " was reported complete but is missing";
        }
    }
}

}  // namespace
}  // namespace tamsel::sandbox
