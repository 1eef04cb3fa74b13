#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/sandbox/SqliteRegistry.h"
#include "unit/registry/TempDirectory.h"

namespace tamsel::sandbox {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

void RunSql(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// Opening must fail with a message that names the file, and leave the file byte for byte.
void ExpectRefused(const std::filesystem::path& file, const std::string& why) {
    std::string before = ReadAll(file);
    try {
        SqliteRegistry::Open(file);
        ADD_FAILURE() << why << ": opened";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos)
            << why << ": " << error.what();
    }
    EXPECT_EQ(ReadAll(file), before) << why;
    EXPECT_FALSE(std::filesystem::exists(file.string() + "-wal")) << why;
}

TEST(RegistryDatabaseFile, AnythingButARegistryDatabaseIsRefusedAndLeftAlone) {
    testing::TempDirectory dir;

    auto text = dir.Path() / "text.db";
    WriteAll(text, "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS]\r\n");
    ExpectRefused(text, "a text file");

    auto empty = dir.Path() / "empty.db";
    WriteAll(empty, "");
    ExpectRefused(empty, "an empty file");

    auto foreign = dir.Path() / "foreign.db";
    RunSql(foreign, "CREATE TABLE contacts(name TEXT); INSERT INTO contacts VALUES ('x');");
    ExpectRefused(foreign, "another program's database");

    // Ours, but a layout this program does not know.
    auto newer = dir.Path() / "newer.db";
    SqliteRegistry::Open(newer);
    RunSql(newer, "PRAGMA user_version = 2;");
    ExpectRefused(newer, "a newer version");

    auto damaged = dir.Path() / "damaged.db";
    SqliteRegistry::Open(damaged);
    RunSql(damaged, "DROP TABLE registry_value;");
    ExpectRefused(damaged, "a database without its values table");

    try {
        SqliteRegistry::Open(dir.Path());
        ADD_FAILURE() << "opened a directory";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(dir.Path().string()), std::string::npos);
    }
}

TEST(RegistryDatabaseFile, MissingFileIsCreatedWithTheFourRoots) {
    testing::TempDirectory dir;
    auto file = dir.Path() / "new.db";
    {
        auto registry = SqliteRegistry::Open(file);
        for (RegKey root :
             {reg::kClassesRoot, reg::kCurrentUser, reg::kLocalMachine, reg::kUsers}) {
            EXPECT_TRUE(registry->KeyExists(root, ""));
            EXPECT_TRUE(registry->SubKeyNames(root, "").empty());
        }
        RegKey key = 0;
        ASSERT_EQ(registry->CreateKeyEx(reg::kCurrentUser, "Kept", 0, nullptr, 0,
                                        reg::kKeySixRights, &key, nullptr),
                  reg::kSuccess);
        registry->CloseKey(key);
    }
    // Nothing but the database is left behind, and it opens again with what was written.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator{}),
              1);
    EXPECT_TRUE(SqliteRegistry::Open(file)->KeyExists(reg::kCurrentUser, "kept"));

    EXPECT_THROW(SqliteRegistry::Open(dir.Path() / "no-such-dir" / "r.db"), std::runtime_error);
}

}  // namespace
}  // namespace tamsel::sandbox
