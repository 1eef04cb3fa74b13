#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/sandbox/SqliteRegistry.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void RunSql(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST(RegistryDatabaseFile, AnythingButARegistryDatabaseIsRefusedByNameAndLeftAlone) {
    test::ScratchDirectory dir;
    std::ofstream(dir.Path() / "text.db") << "Windows Registry Editor Version 5.00\r\n";
    std::ofstream(dir.Path() / "empty.db");
    RunSql(dir.Path() / "foreign.db", "CREATE TABLE contacts(name TEXT);");
    // Ours, but in a layout this program does not know, or damaged.
    SqliteRegistry::Open(dir.Path() / "newer.db");
    RunSql(dir.Path() / "newer.db", "PRAGMA user_version = 2;");
    SqliteRegistry::Open(dir.Path() / "damaged.db");
    RunSql(dir.Path() / "damaged.db", "DROP TABLE registry_value;");

    // The folder itself, and a file in a folder that does not exist, are no database either.
    for (const char* name :
         {"text.db", "empty.db", "foreign.db", "newer.db", "damaged.db", "", "no-such-dir/r.db"}) {
        const fs::path file = dir.Path() / name;
        const std::string before = fs::is_regular_file(file) ? ReadAll(file) : "";
        try {
            SqliteRegistry::Open(file);
            ADD_FAILURE() << name << ": opened";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos)
                << name << ": " << error.what();
        }
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(ReadAll(file), before) << name;
        }
        EXPECT_FALSE(fs::exists(file.string() + "-wal")) << name;
    }
}

}  // namespace
}  // namespace tamsel::sandbox
