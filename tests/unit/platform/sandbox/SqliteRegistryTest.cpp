// What the SQLite registry adds to the registry's contract (tests/contract): names folded, the
// machine's environment, transactions, and files that are no registry database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/SqliteDatabase.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/ChildProcess.h"
#include "support/RegistryValues.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {
namespace {

using namespace std::string_literals;
using namespace tamsel::test;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

namespace fs = std::filesystem;

constexpr RegKey kLm = reg::kLocalMachine;

class SqliteRegistryTest : public ::testing::Test {
  protected:
    SqliteRegistryTest() : registry_(SqliteRegistry::Open(dir_.Path() / "registry.db")) {}
    void TearDown() override { EXPECT_EQ(registry_->OpenHandleCount(), 0u); }

    RegStatus Create(RegKey root, const std::string& path, RegKey* key) {
        return registry_->CreateKeyEx(root, path, 0, nullptr, 0, reg::kKeySixRights, key, nullptr);
    }
    RegStatus Open(RegKey root, const std::string& path, RegKey* key,
                   std::uint32_t access = reg::kKeySixRights) {
        return registry_->OpenKeyEx(root, path, 0, access, key);
    }

    ScratchDirectory dir_;
    std::unique_ptr<SqliteRegistry> registry_;
};

// (The export shows that names keep the case they were created with.)
TEST_F(SqliteRegistryTest, OnlyAsciiLettersFoldAndNoLevelIsEmpty) {
    EXPECT_EQ(PutText(*registry_, kLm, "K", "\xc3\x84", "upper"), reg::kSuccess);
    EXPECT_EQ(PutText(*registry_, kLm, "K", "\xc3\xa4", "lower"), reg::kSuccess);
    EXPECT_EQ(registry_->Values(kLm, "K").size(), 2u);
    RegKey key = 0;
    for (const std::string& bad : {"A\\\\B"s, "\\A"s, "\\"s, std::string(256, 'x')}) {
        EXPECT_EQ(Create(kLm, bad, &key), reg::kInvalidParameter) << bad;
        EXPECT_EQ(registry_->DeleteKey(kLm, bad), reg::kInvalidParameter) << bad;
    }
}

TEST_F(SqliteRegistryTest, RootsStayDeletedKeysStayDeletedAndRightsAreChecked) {
    ASSERT_EQ(PutText(*registry_, kLm, "Parent\\Child", "v", "x"), reg::kSuccess);
    RegKey key = 0;
    ASSERT_EQ(Open(reg::kClassesRoot, "", &key), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKey(key, ""), reg::kAccessDenied);
    registry_->CloseKey(key);
    EXPECT_EQ(registry_->CloseKey(reg::kUsers), reg::kSuccess);  // roots are always valid

    // A handle to a deleted key reports the deletion; a new key of that name is another key.
    RegKey child = 0;
    ASSERT_EQ(Open(kLm, "PARENT\\CHILD", &child), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKey(kLm, "parent\\child"), reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, kLm, "Parent\\Child", "new", "x"), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(child, "x", 0, reg::kDword, nullptr, 0), kKeyDeletedStatus);
    EXPECT_EQ(registry_->CloseKey(child), reg::kSuccess);

    // A query-only handle creates no key but opens an existing one; no right reads nothing.
    ASSERT_EQ(Open(kLm, "Parent", &key, reg::kKeyQueryValue), reg::kSuccess);
    EXPECT_EQ(Create(key, "New", &child), reg::kAccessDenied);
    ASSERT_EQ(Create(key, "Child", &child), reg::kSuccess);
    registry_->CloseKey(child);
    registry_->CloseKey(key);
    std::uint32_t size = 0;
    ASSERT_EQ(Open(kLm, "Parent\\Child", &key, 0), reg::kSuccess);
    EXPECT_EQ(registry_->QueryValueEx(key, "new", nullptr, nullptr, &size), reg::kAccessDenied);
    registry_->CloseKey(key);

    // The tree deletion of a root only empties it.
    ASSERT_EQ(PutText(*registry_, kLm, "", "rootValue", "x"), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKeyTree(kLm, ""), reg::kSuccess);
    EXPECT_TRUE(registry_->KeyExists(kLm, "") && registry_->Values(kLm, "").empty());
}

TEST_F(SqliteRegistryTest, ExpandsFromTheMachineEnvironmentInTheRegistry) {
    ASSERT_EQ(PutText(*registry_, reg::kCurrentUser, kUserEnvironmentKey, "TEMP", "C:\\T"), 0);
    ASSERT_EQ(PutText(*registry_, kLm, kSystemEnvironmentKey, "TEMP", "C:\\Sys"), 0);
    ASSERT_EQ(PutText(*registry_, kLm, kSystemEnvironmentKey, "SystemRoot", "C:\\Windows"), 0);
    ASSERT_EQ(PutText(*registry_, reg::kCurrentUser, kUserEnvironmentKey, "Tools",
                      "%systemroot%\\tools", reg::kExpandSz),
              0);
    for (const auto& [source, expected] :
         {std::pair{"%temp%\\touninst.bat", "C:\\T\\touninst.bat"},  // the user's comes first
          {"%SystemRoot%;%SYSTEMROOT%", "C:\\Windows;C:\\Windows"},
          {"%Tools%", "C:\\Windows\\tools"},
          {"100%% and 50% off", "100%% and 50% off"}}) {
        std::string out(64, '\x7f');
        const std::uint32_t size = registry_->ExpandEnvironment(source, out.data(), 64);
        EXPECT_EQ(out.substr(0, size), std::string(expected) + '\0') << source;
    }
}

TEST_F(SqliteRegistryTest, AFailedTransactionUndoesEverythingForEveryConnection) {
    auto other = SqliteRegistry::Open(dir_.Path() / "registry.db");
    ASSERT_EQ(PutText(*registry_, kLm, "Shared", "from", "first"), reg::kSuccess);
    EXPECT_THROW(registry_->RunInTransaction([&] {
        ASSERT_EQ(PutText(*registry_, kLm, "During", "v", "x"), reg::kSuccess);
        ASSERT_EQ(registry_->DeleteKeyTree(kLm, "Shared"), reg::kSuccess);
        throw std::runtime_error("stop");
    }),
                 std::runtime_error);
    EXPECT_EQ(Get(*other, kLm, "shared", "from").data, BytesOf("first\0"s));
    EXPECT_FALSE(other->KeyExists(kLm, "During"));
}

TEST_F(SqliteRegistryTest, AnythingButARegistryDatabaseIsRefusedByNameAndLeftAlone) {
    std::ofstream(dir_.Path() / "text.db") << "Windows Registry Editor Version 5.00\r\n";
    std::ofstream(dir_.Path() / "empty.db");
    SqliteDatabase(dir_.Path() / "foreign.db", true).Execute("CREATE TABLE contacts(name TEXT);");
    // Ours, but in a layout this program does not know, or damaged.
    SqliteRegistry::Open(dir_.Path() / "newer.db");
    SqliteDatabase(dir_.Path() / "newer.db", true).Execute("PRAGMA user_version = 2;");
    SqliteRegistry::Open(dir_.Path() / "damaged.db");
    SqliteDatabase(dir_.Path() / "damaged.db", true).Execute("DROP TABLE registry_value;");

    // The folder itself, and a file in a folder that does not exist, are no database either.
    for (const char* name :
         {"text.db", "empty.db", "foreign.db", "newer.db", "damaged.db", "", "no-such-dir/r.db"}) {
        const fs::path file = dir_.Path() / name;
        // Its bytes; "" for the folder and the missing file.
        const auto bytes = [&] { return fs::is_regular_file(file) ? ReadHostFile(file) : ""; };
        const std::string before = bytes();
        EXPECT_THAT([&] { SqliteRegistry::Open(file); },
                    ThrowsMessage<std::runtime_error>(HasSubstr(file.string())))
            << name;
        EXPECT_EQ(bytes(), before) << name;
        EXPECT_FALSE(fs::exists(file.string() + "-wal")) << name;
    }
}

}  // namespace
}  // namespace tamsel::sandbox
