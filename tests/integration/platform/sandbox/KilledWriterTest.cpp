#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "platform/sandbox/SqliteRegistry.h"
#include "support/RegistryValues.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {
namespace {

using test::BytesOf;
using test::Get;
using test::PutText;

std::string KeyOf(std::uint32_t i) { return "SOFTWARE\\Loop\\Key" + std::to_string(i % 7); }
std::string NameOf(std::uint32_t i) { return "Value" + std::to_string(i); }
std::string TextOf(std::uint32_t i) { return "written by step " + std::to_string(i); }

// In a child process: writes values first, first + 1, ... for ever and reports the number of
// each write on `report` once the write has returned.
[[noreturn]] void WriteForever(const std::filesystem::path& file, std::uint32_t first, int report) {
    try {
        auto registry = SqliteRegistry::Open(file);
        for (std::uint32_t i = first;; ++i) {
            if (PutText(*registry, reg::kLocalMachine, KeyOf(i), NameOf(i), TextOf(i)) !=
                reg::kSuccess) {
                _exit(3);
            }
            // A large value now and then, so that a kill can also land in a multi-page write.
            if (i % 5 == 0 && PutText(*registry, reg::kLocalMachine, "SOFTWARE\\Big", NameOf(i),
                                      std::string(20000, 'b')) != reg::kSuccess) {
                _exit(3);
            }
            if (write(report, &i, sizeof i) != sizeof i) _exit(4);
        }
    } catch (const std::exception&) {
        _exit(5);
    }
}

// Starts a writer, lets it complete `atLeast` writes, kills it with SIGKILL and returns every
// write it reported.
std::vector<std::uint32_t> WriteAndKill(const std::filesystem::path& file, std::uint32_t first,
                                        std::size_t atLeast) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        close(fds[0]);
        WriteForever(file, first, fds[1]);
    }
    close(fds[1]);
    std::vector<std::uint32_t> reported;
    std::uint32_t number = 0;
    bool killed = false;
    while (read(fds[0], &number, sizeof number) == sizeof number) {
        reported.push_back(number);
        if (!killed && reported.size() >= atLeast) {
            kill(child, SIGKILL);
            killed = true;  // keep reading what it reported before it died
        }
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the writer ended on its own, status " << status;
    return reported;
}

std::string IntegrityCheck(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

TEST(KilledRegistryWriter, EveryReportedWriteSurvivesAndTheDatabaseStaysSound) {
    test::ScratchDirectory dir;
    const auto file = dir.Path() / "registry.db";
    SqliteRegistry::Open(file);  // created up front, so every child opens an existing file

    std::vector<std::uint32_t> all;
    std::uint32_t next = 0;
    for (int round = 0; round < 4; ++round) {
        auto reported = WriteAndKill(file, next, 60 + 25 * round);
        ASSERT_FALSE(reported.empty());
        all.insert(all.end(), reported.begin(), reported.end());
        next = reported.back() + 1;

        ASSERT_EQ(IntegrityCheck(file), "ok") << "after round " << round;
        auto registry = SqliteRegistry::Open(file);
        for (std::uint32_t i : all) {
            ASSERT_EQ(Get(*registry, reg::kLocalMachine, KeyOf(i), NameOf(i)).data,
                      BytesOf(TextOf(i) + '\0'))
                << "write " << i << " was reported complete but is missing";
            if (i % 5 == 0) {
                ASSERT_EQ(
                    Get(*registry, reg::kLocalMachine, "SOFTWARE\\Big", NameOf(i)).data.size(),
                    20001u);
            }
        }
    }
}

}  // namespace
}  // namespace tamsel::sandbox
