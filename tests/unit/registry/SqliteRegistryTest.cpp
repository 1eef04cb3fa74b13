#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "unit/registry/RegistryTestValues.h"
#include "unit/registry/TempDirectory.h"

namespace tamsel::sandbox {
namespace {

using testing::Bytes;
using testing::BytesOf;
using testing::Get;
using testing::Put;
using testing::PutText;
using testing::StoredValue;

using namespace std::string_literals;

constexpr RegKey kLm = reg::kLocalMachine;

class SqliteRegistryTest : public ::testing::Test {
  protected:
    SqliteRegistryTest() : registry_(SqliteRegistry::Open(dir_.Path() / "registry.db")) {}

    RegStatus Create(RegKey root, const std::string& path, RegKey* key,
                     std::uint32_t* disposition = nullptr,
                     std::uint32_t access = reg::kKeySixRights) {
        return registry_->CreateKeyEx(root, path, 0, nullptr, reg::kOptionNonVolatile, access, key,
                                      disposition);
    }
    RegStatus Open(RegKey root, const std::string& path, RegKey* key,
                   std::uint32_t access = reg::kKeySixRights) {
        return registry_->OpenKeyEx(root, path, 0, access, key);
    }

    testing::TempDirectory dir_;
    std::unique_ptr<SqliteRegistry> registry_;
};

TEST_F(SqliteRegistryTest, NamesMatchWithoutRegardToCaseAndKeepTheirCase) {
    RegKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(Create(kLm, "Software\\Tamsel\\MyKey", &key, &disposition), reg::kSuccess);
    EXPECT_EQ(disposition, reg::kCreatedNewKey);
    ASSERT_EQ(registry_->CloseKey(key), reg::kSuccess);

    ASSERT_EQ(Create(kLm, "SOFTWARE\\tamsel\\MYKEY", &key, &disposition), reg::kSuccess);
    EXPECT_EQ(disposition, reg::kOpenedExistingKey);
    EXPECT_EQ(registry_->SetValueEx(key, "DisplayName", 0, reg::kSz,
                                    reinterpret_cast<const std::uint8_t*>("a"), 2),
              reg::kSuccess);
    // Writing under another case replaces the value and keeps the name it was created with.
    EXPECT_EQ(registry_->SetValueEx(key, "DISPLAYNAME", 0, reg::kSz,
                                    reinterpret_cast<const std::uint8_t*>("bc"), 3),
              reg::kSuccess);
    registry_->CloseKey(key);

    EXPECT_EQ(Get(*registry_, kLm, "software\\TAMSEL\\mykey", "displayname").data,
              BytesOf("bc\0"s));
    EXPECT_EQ(registry_->SubKeyNames(kLm, "SOFTWARE"), std::vector<std::string>{"Tamsel"});
    EXPECT_EQ(registry_->StoredKeyPath(kLm, "software\\tamsel\\mykey"),
              std::optional<std::string>("Software\\Tamsel\\MyKey"));
    auto values = registry_->Values(kLm, "Software\\Tamsel\\MyKey");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "DisplayName");

    // Only ASCII letters fold: names that differ elsewhere are different names.
    EXPECT_EQ(PutText(*registry_, kLm, "K", "\xc3\x84", "upper"), reg::kSuccess);
    EXPECT_EQ(PutText(*registry_, kLm, "K", "\xc3\xa4", "lower"), reg::kSuccess);
    EXPECT_EQ(registry_->Values(kLm, "K").size(), 2u);
    EXPECT_EQ(registry_->OpenHandleCount(), 0u);
}

TEST_F(SqliteRegistryTest, KeyPathsCreateEveryLevelAndRefuseEmptyComponents) {
    RegKey key = 0;
    ASSERT_EQ(Create(kLm, "A\\B\\C\\D", &key), reg::kSuccess);
    registry_->CloseKey(key);
    for (const char* level : {"A", "A\\B", "A\\B\\C", "A\\B\\C\\D", "A\\B\\C\\D\\"}) {
        EXPECT_TRUE(registry_->KeyExists(kLm, level)) << level;
    }
    for (const char* bad : {"A\\\\B", "\\A", "A\\B\\\\", "\\"}) {
        EXPECT_EQ(Create(kLm, bad, &key), reg::kInvalidParameter) << bad;
        EXPECT_EQ(Open(kLm, bad, &key), reg::kInvalidParameter) << bad;
        EXPECT_EQ(registry_->DeleteKey(kLm, bad), reg::kInvalidParameter) << bad;
    }
    EXPECT_EQ(Create(kLm, std::string(256, 'x'), &key), reg::kInvalidParameter);
    // Relative to an open handle, and the empty path opens the key itself.
    RegKey parent = 0;
    ASSERT_EQ(Open(kLm, "A\\B", &parent), reg::kSuccess);
    ASSERT_EQ(Create(parent, "New\\Leaf", &key), reg::kSuccess);
    registry_->CloseKey(key);
    EXPECT_TRUE(registry_->KeyExists(kLm, "a\\b\\new\\leaf"));
    ASSERT_EQ(Open(parent, "", &key), reg::kSuccess);
    EXPECT_NE(key, parent);
    registry_->CloseKey(key);
    registry_->CloseKey(parent);
    EXPECT_EQ(Open(kLm, "Missing", &key), reg::kFileNotFound);
    EXPECT_EQ(registry_->OpenHandleCount(), 0u);
}

TEST_F(SqliteRegistryTest, DeleteKeyRefusesKeysWithSubkeys) {
    RegKey key = 0;
    ASSERT_EQ(Create(kLm, "Parent\\Child", &key), reg::kSuccess);
    registry_->CloseKey(key);
    ASSERT_EQ(PutText(*registry_, kLm, "Parent", "v", "kept"), reg::kSuccess);

    EXPECT_EQ(registry_->DeleteKey(kLm, "Parent"), reg::kAccessDenied);
    EXPECT_TRUE(registry_->KeyExists(kLm, "Parent\\Child"));
    EXPECT_EQ(Get(*registry_, kLm, "Parent", "v").data, BytesOf("kept\0"s));
    EXPECT_EQ(registry_->DeleteKey(kLm, "Parent\\Missing"), reg::kFileNotFound);
    EXPECT_EQ(registry_->DeleteKey(kLm, ""), reg::kAccessDenied);

    // A handle to a key that is deleted afterwards reports the deletion, as on Windows.
    RegKey child = 0;
    ASSERT_EQ(Open(kLm, "PARENT\\CHILD", &child), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKey(kLm, "parent\\child"), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(child, "x", 0, reg::kDword, nullptr, 0), kKeyDeletedStatus);
    EXPECT_EQ(registry_->CloseKey(child), reg::kSuccess);
    // A new key of the same name is another key; the old handle does not reach it.
    EXPECT_EQ(registry_->DeleteKey(kLm, "Parent"), reg::kSuccess);
    EXPECT_FALSE(registry_->KeyExists(kLm, "Parent"));
    EXPECT_TRUE(registry_->Values(kLm, "Parent").empty());

    // The tree deletion removes everything below, and on a root only empties it.
    ASSERT_EQ(PutText(*registry_, kLm, "T\\a\\b", "v", "x"), reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, kLm, "", "rootValue", "x"), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKeyTree(kLm, "t"), reg::kSuccess);
    EXPECT_FALSE(registry_->KeyExists(kLm, "T"));
    EXPECT_EQ(registry_->DeleteKeyTree(kLm, "T"), reg::kFileNotFound);
    ASSERT_EQ(PutText(*registry_, kLm, "Other", "v", "x"), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteKeyTree(kLm, ""), reg::kSuccess);
    EXPECT_TRUE(registry_->SubKeyNames(kLm, "").empty());
    EXPECT_TRUE(registry_->Values(kLm, "").empty());
    EXPECT_EQ(Create(kLm, "AfterReset", &key), reg::kSuccess);
    registry_->CloseKey(key);
}

TEST_F(SqliteRegistryTest, ValuesKeepTheirTypeAndExactBytes) {
    const std::vector<std::pair<std::uint32_t, Bytes>> cases = {
        {reg::kSz, BytesOf("no terminating NUL")},
        {reg::kSz, BytesOf("embedded\0NUL\0"s)},
        {reg::kSz, {}},
        {reg::kExpandSz, BytesOf("%TEMP%\\x\0"s)},
        {reg::kBinary, {0x00, 0xFF, 0x80, 0x00}},
        {reg::kDword, {1, 2, 3}},
        {reg::kMultiSz, BytesOf("a\0b\0\0"s)},
        {0x12345678u, {9, 8, 7}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string name = "v" + std::to_string(i);
        ASSERT_EQ(Put(*registry_, kLm, "Data", name, cases[i].first, cases[i].second),
                  reg::kSuccess);
    }
    // Read back from a new connection, so the bytes come from the file.
    registry_ = SqliteRegistry::Open(dir_.Path() / "registry.db");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string name = "V" + std::to_string(i);
        EXPECT_EQ(Get(*registry_, kLm, "data", name),
                  (StoredValue{cases[i].first, cases[i].second}))
            << name;
    }
    // The default value is the one with the empty name, and does not exist until written.
    EXPECT_EQ(Get(*registry_, kLm, "Data", "").type, 0xFFFFFFFFu);
    ASSERT_EQ(PutText(*registry_, kLm, "Data", "", "default"), reg::kSuccess);
    EXPECT_EQ(Get(*registry_, kLm, "Data", "").data, BytesOf("default\0"s));
    EXPECT_EQ(registry_->Values(kLm, "Data").front().name, "");
}

TEST_F(SqliteRegistryTest, QueryReportsSizeAndAsksForMoreData) {
    ASSERT_EQ(PutText(*registry_, kLm, "Q", "Path", "C:\\Program Files\\"), reg::kSuccess);
    RegKey key = 0;
    ASSERT_EQ(Open(kLm, "Q", &key, reg::kKeyQueryValue), reg::kSuccess);
    const std::uint32_t stored = 18;

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry_->QueryValueEx(key, "Path", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(type, reg::kSz);
    EXPECT_EQ(size, stored);
    EXPECT_EQ(registry_->QueryValueEx(key, "Path", nullptr, nullptr, nullptr), reg::kSuccess);

    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    for (std::uint32_t small : {0u, 1u, stored - 1}) {
        size = small;
        EXPECT_EQ(registry_->QueryValueEx(key, "Path", &type,
                                          reinterpret_cast<std::uint8_t*>(buffer), &size),
                  reg::kMoreData);
        EXPECT_EQ(size, stored);
    }
    EXPECT_EQ(buffer[0], '#');  // nothing was written into a buffer that was too small

    size = sizeof buffer;
    EXPECT_EQ(
        registry_->QueryValueEx(key, "path", &type, reinterpret_cast<std::uint8_t*>(buffer), &size),
        reg::kSuccess);
    EXPECT_EQ(size, stored);
    EXPECT_STREQ(buffer, "C:\\Program Files\\");
    EXPECT_EQ(buffer[stored], '#');

    EXPECT_EQ(registry_->QueryValueEx(key, "Path", &type, reinterpret_cast<std::uint8_t*>(buffer),
                                      nullptr),
              reg::kInvalidParameter);
    EXPECT_EQ(registry_->QueryValueEx(key, "Missing", &type, nullptr, &size), reg::kFileNotFound);
    registry_->CloseKey(key);
}

TEST_F(SqliteRegistryTest, HandlesAreCountedAndInvalidOnesRefused) {
    EXPECT_EQ(registry_->OpenHandleCount(), 0u);
    RegKey first = 0;
    RegKey second = 0;
    ASSERT_EQ(Create(kLm, "H", &first), reg::kSuccess);
    ASSERT_EQ(Open(kLm, "H", &second), reg::kSuccess);
    EXPECT_NE(first, second);
    EXPECT_LT(first, reg::kClassesRoot);
    EXPECT_EQ(registry_->OpenHandleCount(), 2u);
    EXPECT_EQ(registry_->CloseKey(first), reg::kSuccess);
    EXPECT_EQ(registry_->CloseKey(first), reg::kInvalidHandle);
    EXPECT_EQ(registry_->OpenHandleCount(), 1u);

    // A closed handle is not handed out again, so it cannot reach another key by accident.
    RegKey third = 0;
    ASSERT_EQ(Open(kLm, "H", &third), reg::kSuccess);
    EXPECT_NE(third, first);

    std::uint32_t size = 0;
    RegKey key = 0;
    const RegKey invalid = first;
    EXPECT_EQ(registry_->QueryValueEx(invalid, "v", nullptr, nullptr, &size), reg::kInvalidHandle);
    EXPECT_EQ(registry_->SetValueEx(invalid, "v", 0, reg::kSz, nullptr, 0), reg::kInvalidHandle);
    EXPECT_EQ(registry_->DeleteValue(invalid, "v"), reg::kInvalidHandle);
    EXPECT_EQ(Create(invalid, "x", &key), reg::kInvalidHandle);
    EXPECT_EQ(Open(invalid, "", &key), reg::kInvalidHandle);
    EXPECT_EQ(registry_->DeleteKey(invalid, "x"), reg::kInvalidHandle);
    EXPECT_EQ(registry_->CloseKey(0x80000004u), reg::kInvalidHandle);

    // The roots are always valid and closing one changes nothing.
    EXPECT_EQ(registry_->CloseKey(reg::kUsers), reg::kSuccess);
    EXPECT_EQ(PutText(*registry_, reg::kUsers, "", "v", "x"), reg::kSuccess);

    registry_->CloseKey(second);
    registry_->CloseKey(third);
    EXPECT_EQ(registry_->OpenHandleCount(), 0u);
}

TEST_F(SqliteRegistryTest, AccessMaskLimitsWhatAHandleMayDo) {
    ASSERT_EQ(PutText(*registry_, kLm, "M\\Existing", "v", "x"), reg::kSuccess);
    const std::uint8_t data[] = {1, 2, 3, 4};

    RegKey readOnly = 0;
    ASSERT_EQ(Open(kLm, "M", &readOnly, reg::kKeyQueryValue), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(readOnly, "w", 0, reg::kDword, data, 4), reg::kAccessDenied);
    EXPECT_EQ(registry_->DeleteValue(readOnly, "v"), reg::kAccessDenied);
    RegKey key = 0;
    EXPECT_EQ(Create(readOnly, "New", &key), reg::kAccessDenied);
    EXPECT_FALSE(registry_->KeyExists(kLm, "M\\New"));
    ASSERT_EQ(Create(readOnly, "Existing", &key), reg::kSuccess);  // opening needs no right
    registry_->CloseKey(key);

    RegKey nothing = 0;
    ASSERT_EQ(Open(kLm, "M\\Existing", &nothing, 0), reg::kSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(registry_->QueryValueEx(nothing, "v", nullptr, nullptr, &size), reg::kAccessDenied);
    EXPECT_EQ(registry_->QueryValueEx(readOnly, "v", nullptr, nullptr, &size), reg::kFileNotFound);

    RegKey genericRead = 0;
    ASSERT_EQ(Open(kLm, "M\\Existing", &genericRead, 0x80000000u), reg::kSuccess);
    EXPECT_EQ(registry_->QueryValueEx(genericRead, "v", nullptr, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(genericRead, "w", 0, reg::kDword, data, 4), reg::kAccessDenied);

    RegKey full = 0;
    ASSERT_EQ(Open(kLm, "M\\Existing", &full, reg::kKeyAllAccess), reg::kSuccess);
    EXPECT_EQ(registry_->SetValueEx(full, "w", 0, reg::kDword, data, 4), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteValue(full, "V"), reg::kSuccess);
    EXPECT_EQ(registry_->DeleteValue(full, "v"), reg::kFileNotFound);

    for (RegKey handle : {readOnly, nothing, genericRead, full}) registry_->CloseKey(handle);
    EXPECT_EQ(registry_->OpenHandleCount(), 0u);
}

TEST_F(SqliteRegistryTest, ExpandsFromTheMachineEnvironmentInTheRegistry) {
    ASSERT_EQ(PutText(*registry_, reg::kCurrentUser, kUserEnvironmentKey, "TEMP", "C:\\T"),
              reg::kSuccess);
    ASSERT_EQ(PutText(*registry_, reg::kLocalMachine, kSystemEnvironmentKey, "TEMP", "C:\\Sys"),
              reg::kSuccess);
    ASSERT_EQ(
        PutText(*registry_, reg::kLocalMachine, kSystemEnvironmentKey, "SystemRoot", "C:\\Windows"),
        reg::kSuccess);
    ASSERT_EQ(Put(*registry_, reg::kCurrentUser, kUserEnvironmentKey, "Tools", reg::kExpandSz,
                  BytesOf("%systemroot%\\tools\0"s)),
              reg::kSuccess);

    auto expand = [&](const std::string& source) {
        std::uint32_t needed = registry_->ExpandEnvironment(source, nullptr, 0);
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
    EXPECT_EQ(expand(""), "");

    // The needed size counts the NUL; a buffer too small is left as it was.
    char small[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(registry_->ExpandEnvironment("%TEMP%", small, 4), 5u);
    EXPECT_EQ(std::string(small, 4), "abcd");
    char one[1] = {'z'};
    EXPECT_EQ(registry_->ExpandEnvironment("%SystemRoot%", one, 1), 11u);
    EXPECT_EQ(one[0], 'z');
}

TEST_F(SqliteRegistryTest, TwoConnectionsShareOneDatabase) {
    auto other = SqliteRegistry::Open(dir_.Path() / "registry.db");
    ASSERT_EQ(PutText(*registry_, kLm, "Shared", "from", "first"), reg::kSuccess);
    EXPECT_EQ(Get(*other, kLm, "shared", "from").data, BytesOf("first\0"s));
    ASSERT_EQ(other->DeleteKey(kLm, "Shared"), reg::kSuccess);
    EXPECT_FALSE(registry_->KeyExists(kLm, "Shared"));
}

TEST_F(SqliteRegistryTest, FailedTransactionUndoesEverything) {
    ASSERT_EQ(PutText(*registry_, kLm, "Before", "v", "x"), reg::kSuccess);
    EXPECT_THROW(registry_->RunInTransaction([&] {
        ASSERT_EQ(PutText(*registry_, kLm, "During", "v", "x"), reg::kSuccess);
        ASSERT_EQ(registry_->DeleteKeyTree(kLm, "Before"), reg::kSuccess);
        throw std::runtime_error("stop");
    }),
                 std::runtime_error);
    EXPECT_TRUE(registry_->KeyExists(kLm, "Before"));
    EXPECT_FALSE(registry_->KeyExists(kLm, "During"));
    EXPECT_EQ(PutText(*registry_, kLm, "After", "v", "x"), reg::kSuccess);
}

}  // namespace
}  // namespace tamsel::sandbox
