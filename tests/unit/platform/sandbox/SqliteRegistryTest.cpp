#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RegistryValues.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {
namespace {

using namespace std::string_literals;
using namespace tamsel::test;

constexpr RegKey kLm = reg::kLocalMachine;

class SqliteRegistryTest : public ::testing::Test {
  protected:
    SqliteRegistryTest() : registry_(SqliteRegistry::Open(dir_.Path() / "registry.db")) {}
    void TearDown() override { EXPECT_EQ(registry_->OpenHandleCount(), 0u); }

    RegStatus Create(RegKey root, const std::string& path, RegKey* key,
                     std::uint32_t* disposition = nullptr) {
        return registry_->CreateKeyEx(root, path, 0, nullptr, 0, reg::kKeySixRights, key,
                                      disposition);
    }
    RegStatus Open(RegKey root, const std::string& path, RegKey* key,
                   std::uint32_t access = reg::kKeySixRights) {
        return registry_->OpenKeyEx(root, path, 0, access, key);
    }

    ScratchDirectory dir_;
    std::unique_ptr<SqliteRegistry> registry_;
};

TEST_F(SqliteRegistryTest, NamesMatchWithoutRegardToCaseAndKeepTheirCase) {
    RegKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(Create(kLm, "Software\\Tamsel\\MyKey", &key, &disposition), reg::kSuccess);
    EXPECT_EQ(disposition, reg::kCreatedNewKey);
    registry_->CloseKey(key);
    ASSERT_EQ(Create(kLm, "SOFTWARE\\tamsel\\MYKEY", &key, &disposition), reg::kSuccess);
    EXPECT_EQ(disposition, reg::kOpenedExistingKey);
    registry_->CloseKey(key);
    ASSERT_EQ(PutText(*registry_, kLm, "software\\tamsel\\mykey", "DisplayName", "a"), 0);
    // Writing under another case replaces the value and keeps the name it was created with.
    ASSERT_EQ(PutText(*registry_, kLm, "Software\\Tamsel\\MyKey", "DISPLAYNAME", "bc"), 0);

    EXPECT_EQ(Get(*registry_, kLm, "software\\TAMSEL\\mykey", "displayname").data,
              BytesOf("bc\0"s));
    EXPECT_EQ(registry_->SubKeyNames(kLm, "SOFTWARE"), std::vector<std::string>{"Tamsel"});
    EXPECT_EQ(registry_->StoredKeyPath(kLm, "software\\tamsel\\mykey"),
              std::optional<std::string>("Software\\Tamsel\\MyKey"));
    const auto values = registry_->Values(kLm, "Software\\Tamsel\\MyKey");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "DisplayName");
    // Only ASCII letters fold: names that differ elsewhere are different names.
    EXPECT_EQ(PutText(*registry_, kLm, "K", "\xc3\x84", "upper"), reg::kSuccess);
    EXPECT_EQ(PutText(*registry_, kLm, "K", "\xc3\xa4", "lower"), reg::kSuccess);
    EXPECT_EQ(registry_->Values(kLm, "K").size(), 2u);
}

TEST_F(SqliteRegistryTest, KeyPathsCreateEveryLevelAndRefuseEmptyComponents) {
    RegKey key = 0;
    ASSERT_EQ(Create(kLm, "A\\B\\C", &key), reg::kSuccess);
    registry_->CloseKey(key);
    for (const char* level : {"A", "A\\B", "A\\B\\C", "A\\B\\C\\"}) {
        EXPECT_TRUE(registry_->KeyExists(kLm, level)) << level;
    }
    for (const char* bad : {"A\\\\B", "\\A", "\\"}) {
        EXPECT_EQ(Create(kLm, bad, &key), reg::kInvalidParameter) << bad;
        EXPECT_EQ(Open(kLm, bad, &key), reg::kInvalidParameter) << bad;
        EXPECT_EQ(registry_->DeleteKey(kLm, bad), reg::kInvalidParameter) << bad;
    }
    EXPECT_EQ(Create(kLm, std::string(256, 'x'), &key), reg::kInvalidParameter);
    // Relative to an open handle.
    RegKey parent = 0;
    ASSERT_EQ(Open(kLm, "A\\B", &parent), reg::kSuccess);
    ASSERT_EQ(Create(parent, "New\\Leaf", &key), reg::kSuccess);
    registry_->CloseKey(key);
    registry_->CloseKey(parent);
    EXPECT_TRUE(registry_->KeyExists(kLm, "a\\b\\new\\leaf"));
    EXPECT_EQ(Open(kLm, "Missing", &key), reg::kFileNotFound);
}

TEST_F(SqliteRegistryTest, DeleteKeyRefusesKeysWithSubkeys) {
    ASSERT_EQ(PutText(*registry_, kLm, "Parent\\Child", "v", "x"), reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, kLm, "Parent", "v", "kept"), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKey(kLm, "Parent"), reg::kAccessDenied);
    EXPECT_TRUE(registry_->KeyExists(kLm, "Parent\\Child"));
    EXPECT_EQ(Get(*registry_, kLm, "Parent", "v").data, BytesOf("kept\0"s));
    EXPECT_EQ(registry_->DeleteKey(kLm, "Parent\\Missing"), reg::kFileNotFound);
    // A root stays, named by itself or through a handle opened on it.
    RegKey root = 0;
    ASSERT_EQ(Open(reg::kClassesRoot, "", &root), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKey(kLm, ""), reg::kAccessDenied);
    EXPECT_EQ(registry_->DeleteKey(root, ""), reg::kAccessDenied);
    registry_->CloseKey(root);
    EXPECT_TRUE(registry_->KeyExists(reg::kClassesRoot, ""));

    // A handle to a key deleted afterwards reports the deletion, as on Windows; a new key of
    // the same name is another key.
    RegKey child = 0;
    ASSERT_EQ(Open(kLm, "PARENT\\CHILD", &child), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKey(kLm, "parent\\child"), reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, kLm, "Parent\\Child", "new", "x"), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(child, "x", 0, reg::kDword, nullptr, 0), kKeyDeletedStatus);
    EXPECT_EQ(registry_->CloseKey(child), reg::kSuccess);

    // The tree deletion removes everything below, and on a root only empties it.
    EXPECT_EQ(registry_->DeleteKeyTree(kLm, "parent"), reg::kSuccess);
    EXPECT_FALSE(registry_->KeyExists(kLm, "Parent"));
    ASSERT_EQ(PutText(*registry_, kLm, "", "rootValue", "x"), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKeyTree(kLm, ""), reg::kSuccess);
    EXPECT_TRUE(registry_->KeyExists(kLm, ""));
    EXPECT_TRUE(registry_->Values(kLm, "").empty());
}

TEST_F(SqliteRegistryTest, ValuesKeepTheirTypeAndExactBytes) {
    const std::vector<StoredValue> cases = {
        {reg::kSz, BytesOf("no terminating NUL")},
        {reg::kSz, BytesOf("embedded\0NUL\0"s)},
        {reg::kSz, {}},
        {reg::kBinary, {0x00, 0xFF, 0x80, 0x00}},
        {reg::kDword, {1, 2, 3}},
        {0x12345678u, {9, 8, 7}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ASSERT_EQ(
            Put(*registry_, kLm, "Data", "v" + std::to_string(i), cases[i].type, cases[i].data),
            reg::kSuccess);
    }
    // Read back through a new connection, so the bytes come from the file.
    registry_ = SqliteRegistry::Open(dir_.Path() / "registry.db");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(Get(*registry_, kLm, "data", "V" + std::to_string(i)), cases[i]) << i;
    }
    // The default value has the empty name and does not exist until written.
    EXPECT_EQ(Get(*registry_, kLm, "Data", "").type, 0xFFFFFFFFu);
}

TEST_F(SqliteRegistryTest, QueryReportsTheSizeAndAsksForMoreData) {
    ASSERT_EQ(PutText(*registry_, kLm, "Q", "Path", "C:\\Program Files\\"), reg::kSuccess);
    RegKey key = 0;
    ASSERT_EQ(Open(kLm, "Q", &key, reg::kKeyQueryValue), reg::kSuccess);
    const std::uint32_t stored = 18;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry_->QueryValueEx(key, "Path", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(type, reg::kSz);
    EXPECT_EQ(size, stored);

    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer);
    for (std::uint32_t small : {0u, 1u, stored - 1}) {
        size = small;
        EXPECT_EQ(registry_->QueryValueEx(key, "Path", &type, bytes, &size), reg::kMoreData);
        EXPECT_EQ(size, stored);
    }
    EXPECT_EQ(buffer[0], '#');  // nothing was written into a buffer that was too small
    size = sizeof buffer;
    EXPECT_EQ(registry_->QueryValueEx(key, "path", &type, bytes, &size), reg::kSuccess);
    EXPECT_STREQ(buffer, "C:\\Program Files\\");
    EXPECT_EQ(buffer[stored], '#');
    EXPECT_EQ(registry_->QueryValueEx(key, "Path", &type, bytes, nullptr), reg::kInvalidParameter);
    EXPECT_EQ(registry_->QueryValueEx(key, "Missing", &type, nullptr, &size), reg::kFileNotFound);
    registry_->CloseKey(key);
}

// Keys are found by one joined statement from a root and from a handle; the same names
// under another root or another parent are other keys, and names longer than a short string
// (folded into their own buffers) match as well as short ones.
TEST_F(SqliteRegistryTest, KeysAreFoundAtEveryDepthFromARootOrAHandle) {
    const std::string longName = "AVeryLongKeyNameThatIsNotShort";
    const std::string path = "Software\\" + longName + "\\Leaf";
    ASSERT_EQ(PutText(*registry_, kLm, path, "", "default"), reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, kLm, path, longName, "long"), reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, reg::kCurrentUser, "Software\\Leaf", "", "other"), reg::kSuccess);

    struct Case {
        RegKey root;
        std::string path;
        RegStatus expected;
    };
    const Case cases[] = {
        {kLm, "", reg::kSuccess},
        {kLm, "SOFTWARE", reg::kSuccess},
        {kLm, "software\\averylongkeynamethatisnotshort", reg::kSuccess},
        {kLm, "Software\\AVERYLONGKEYNAMETHATISNOTSHORT\\leaf\\", reg::kSuccess},
        {kLm, "Software\\Leaf", reg::kFileNotFound},
        {reg::kCurrentUser, path, reg::kFileNotFound},
        {reg::kUsers, "Software", reg::kFileNotFound},
    };
    for (const auto& c : cases) {
        RegKey key = 0;
        EXPECT_EQ(Open(c.root, c.path, &key), c.expected) << c.root << " " << c.path;
        if (c.expected == reg::kSuccess) registry_->CloseKey(key);
    }

    RegKey software = 0;
    ASSERT_EQ(Open(kLm, "software", &software), reg::kSuccess);
    EXPECT_EQ(Get(*registry_, software, longName + "\\LEAF", "").data, BytesOf("default\0"s));
    EXPECT_EQ(Get(*registry_, software, longName + "\\Leaf", "averylongkeynamethatisnotshort").data,
              BytesOf("long\0"s));
    EXPECT_EQ(Get(*registry_, reg::kCurrentUser, "Software\\Leaf", "").data, BytesOf("other\0"s));
    RegKey missing = 0;
    EXPECT_EQ(Open(software, "Leaf", &missing), reg::kFileNotFound);
    registry_->CloseKey(software);
}

TEST_F(SqliteRegistryTest, HandlesAreCountedAndTheirRightsEnforced) {
    ASSERT_EQ(PutText(*registry_, kLm, "M\\Existing", "v", "x"), reg::kSuccess);
    RegKey first = 0;
    RegKey second = 0;
    ASSERT_EQ(Open(kLm, "M", &first), reg::kSuccess);
    ASSERT_EQ(Open(kLm, "M", &second, reg::kKeyQueryValue), reg::kSuccess);
    EXPECT_NE(first, second);
    EXPECT_EQ(registry_->OpenHandleCount(), 2u);
    EXPECT_EQ(registry_->CloseKey(first), reg::kSuccess);
    EXPECT_EQ(registry_->CloseKey(first), reg::kInvalidHandle);
    // A closed handle is refused everywhere and not handed out again.
    std::uint32_t size = 0;
    RegKey key = 0;
    EXPECT_EQ(registry_->QueryValueEx(first, "v", nullptr, nullptr, &size), reg::kInvalidHandle);
    EXPECT_EQ(registry_->SetValueEx(first, "v", 0, reg::kSz, nullptr, 0), reg::kInvalidHandle);
    EXPECT_EQ(Create(first, "x", &key), reg::kInvalidHandle);
    EXPECT_EQ(registry_->CloseKey(0x80000004u), reg::kInvalidHandle);
    EXPECT_EQ(registry_->CloseKey(reg::kUsers), reg::kSuccess);  // roots are always valid

    // A query-only handle may neither write nor create; opening an existing key needs no right.
    const std::uint8_t data[] = {1, 2, 3, 4};
    RegKey readOnly = second;
    EXPECT_EQ(registry_->SetValueEx(readOnly, "w", 0, reg::kDword, data, 4), reg::kAccessDenied);
    EXPECT_EQ(registry_->DeleteValue(readOnly, "v"), reg::kAccessDenied);
    EXPECT_EQ(Create(readOnly, "New", &key), reg::kAccessDenied);
    EXPECT_FALSE(registry_->KeyExists(kLm, "M\\New"));
    ASSERT_EQ(Create(readOnly, "Existing", &key), reg::kSuccess);
    registry_->CloseKey(key);
    ASSERT_EQ(Open(kLm, "M\\Existing", &key, 0), reg::kSuccess);
    EXPECT_EQ(registry_->QueryValueEx(key, "v", nullptr, nullptr, &size), reg::kAccessDenied);
    registry_->CloseKey(key);
    ASSERT_EQ(Open(kLm, "M\\Existing", &key, 0x80000000u), reg::kSuccess);  // GENERIC_READ
    EXPECT_EQ(registry_->QueryValueEx(key, "v", nullptr, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(key, "w", 0, reg::kDword, data, 4), reg::kAccessDenied);
    registry_->CloseKey(key);
    registry_->CloseKey(readOnly);
}

TEST_F(SqliteRegistryTest, ExpandsFromTheMachineEnvironmentInTheRegistry) {
    ASSERT_EQ(PutText(*registry_, reg::kCurrentUser, kUserEnvironmentKey, "TEMP", "C:\\T"), 0);
    ASSERT_EQ(PutText(*registry_, kLm, kSystemEnvironmentKey, "TEMP", "C:\\Sys"), 0);
    ASSERT_EQ(PutText(*registry_, kLm, kSystemEnvironmentKey, "SystemRoot", "C:\\Windows"), 0);
    ASSERT_EQ(PutText(*registry_, reg::kCurrentUser, kUserEnvironmentKey, "Tools",
                      "%systemroot%\\tools", reg::kExpandSz),
              0);
    auto expand = [&](const std::string& source) {
        const std::uint32_t needed = registry_->ExpandEnvironment(source, nullptr, 0);
        std::string out(needed, '\x7f');
        EXPECT_EQ(registry_->ExpandEnvironment(source, out.data(), needed), needed) << source;
        EXPECT_EQ(out.back(), '\0') << source;
        out.pop_back();
        return out;
    };
    EXPECT_EQ(expand("%temp%\\touninst.bat"), "C:\\T\\touninst.bat");  // the user's comes first
    EXPECT_EQ(expand("%SystemRoot%;%SYSTEMROOT%"), "C:\\Windows;C:\\Windows");
    EXPECT_EQ(expand("%Tools%"), "C:\\Windows\\tools");
    EXPECT_EQ(expand("%NoSuchVariable%\\x"), "%NoSuchVariable%\\x");
    EXPECT_EQ(expand("100%% and 50% off"), "100%% and 50% off");
    // The needed size counts the NUL; a buffer too small is left as it was.
    char small[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(registry_->ExpandEnvironment("%TEMP%", small, 4), 5u);
    EXPECT_EQ(std::string(small, 4), "abcd");
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

}  // namespace
}  // namespace tamsel::sandbox
