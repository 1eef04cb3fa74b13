// The registry through the Win32 functions' contract, checked on both platforms with the same
// expectations: status codes, sizes, handles and their rights, and UTF-8 text kept whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "contract/ContractPlatform.h"
#include "support/RegistryValues.h"

namespace tamsel::test {
namespace {

using namespace std::string_literals;

constexpr RegKey kCu = reg::kCurrentUser;
const std::string kScratch = "Software\\TamselContractTest";

class RegistryContract : public ::testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        for (const char* key :
             {"\\A\\B\\New\\Leaf", "\\A\\B\\New", "\\A\\B\\C", "\\A\\B", "\\A", ""}) {
            registry_.DeleteKey(kCu, kScratch + key);
        }
    }
    RegStatus Create(RegKey root, const std::string& path, RegKey* key,
                     std::uint32_t* disposition = nullptr) {
        return registry_.CreateKeyEx(root, path, 0, nullptr, reg::kOptionNonVolatile,
                                     reg::kKeySixRights, key, disposition);
    }
    RegStatus Open(const std::string& path, RegKey* key,
                   std::uint32_t access = reg::kKeySixRights) {
        return registry_.OpenKeyEx(kCu, path, 0, access, key);
    }

    std::unique_ptr<Platform> platform_ = OpenContractPlatform();
    Registry& registry_ = platform_->GetRegistry();
};

TEST_F(RegistryContract, KeysNestAndNamesMatchWithoutRegardToCase) {
    const std::string deep = kScratch + "\\A\\B\\C";
    RegKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(Create(kCu, deep, &key, &disposition), reg::kSuccess);
    EXPECT_EQ(disposition, reg::kCreatedNewKey);
    EXPECT_EQ(registry_.CloseKey(key), reg::kSuccess);
    ASSERT_EQ(Create(kCu, "SOFTWARE\\tamselcontracttest\\a\\b\\c", &key, &disposition), 0);
    EXPECT_EQ(disposition, reg::kOpenedExistingKey);
    registry_.CloseKey(key);
    // Relative to an open handle.
    RegKey parent = 0;
    ASSERT_EQ(Open(kScratch + "\\a\\B", &parent), reg::kSuccess);
    ASSERT_EQ(Create(parent, "New\\Leaf", &key), reg::kSuccess);
    registry_.CloseKey(key);
    registry_.CloseKey(parent);
    ASSERT_EQ(Open(kScratch + "\\A\\b\\NEW\\leaf\\", &key), reg::kSuccess);
    registry_.CloseKey(key);

    // A value written under another case of its name replaces it.
    ASSERT_EQ(PutText(registry_, kCu, kScratch + "\\A", "DisplayName", "a"), reg::kSuccess);
    ASSERT_EQ(PutText(registry_, kCu, kScratch + "\\a", "DISPLAYNAME", "bc"), reg::kSuccess);
    EXPECT_EQ(Get(registry_, kCu, kScratch + "\\A", "displayname"),
              (StoredValue{reg::kSz, BytesOf("bc\0"s)}));
    // A key with subkeys is not deleted; a missing one is "not found".
    EXPECT_EQ(registry_.DeleteKey(kCu, kScratch + "\\A"), reg::kAccessDenied);
    EXPECT_EQ(Get(registry_, kCu, kScratch + "\\A", "DisplayName").data, BytesOf("bc\0"s));
    EXPECT_EQ(registry_.DeleteKey(kCu, deep), reg::kSuccess);
    EXPECT_EQ(registry_.DeleteKey(kCu, deep), reg::kFileNotFound);
    EXPECT_EQ(Open(deep, &key), reg::kFileNotFound);
}

TEST_F(RegistryContract, ValuesComeBackAsTheyWentWithTheirType) {
    // Text outside ASCII, outside the ANSI code page and outside the Basic Multilingual Plane
    // is kept, its size counted in UTF-8 bytes.
    const std::string text = "Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xBE \xE6\xB8\xB8 \xF0\x9D\x84\x9E";
    const std::vector<std::pair<std::string, StoredValue>> values = {
        {"", {reg::kSz, BytesOf("C:\\Program Files\\Tamsel Orry\\TamselOrry.exe\0"s)}},
        {"Name \xC3\xA9", {reg::kSz, BytesOf(text + '\0')}},
        {"Embedded", {reg::kMultiSz, BytesOf("a\0b\0\0"s)}},
        {"Expand", {reg::kExpandSz, BytesOf("%TEMP%\\x\0"s)}},
        {"Number", {reg::kDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {"Blob", {reg::kBinary, {0x00, 0xFF, 0x80, 0x00}}},
        {"Custom", {0x20000, {9, 8, 7}}},
    };
    for (const auto& [name, value] : values) {
        ASSERT_EQ(Put(registry_, kCu, kScratch, name, value.type, value.data), reg::kSuccess);
    }
    for (const auto& [name, value] : values) {
        EXPECT_EQ(Get(registry_, kCu, kScratch, name), value) << name;
    }
}

TEST_F(RegistryContract, QueriesGiveTheSizeFirstAndHandlesKeepTheirRights) {
    const std::string path = "C:\\Program Files\\";
    ASSERT_EQ(PutText(registry_, kCu, kScratch, "Path", path), reg::kSuccess);
    RegKey key = 0;
    ASSERT_EQ(Open(kScratch, &key, reg::kKeyQueryValue), reg::kSuccess);
    const std::uint32_t stored = 18;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry_.QueryValueEx(key, "path", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(type, reg::kSz);
    EXPECT_EQ(size, stored);
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer);
    for (std::uint32_t small : {0u, 1u, stored - 1}) {
        size = small;
        EXPECT_EQ(registry_.QueryValueEx(key, "Path", &type, bytes, &size), reg::kMoreData);
        EXPECT_EQ(size, stored);
    }
    EXPECT_EQ(buffer[0], '#');  // nothing was written into a buffer that was too small
    size = sizeof buffer;
    EXPECT_EQ(registry_.QueryValueEx(key, "PATH", &type, bytes, &size), reg::kSuccess);
    EXPECT_EQ(std::string(buffer, size), path + '\0');
    EXPECT_EQ(buffer[stored], '#');
    EXPECT_EQ(registry_.QueryValueEx(key, "Path", &type, bytes, nullptr), reg::kInvalidParameter);
    EXPECT_EQ(registry_.QueryValueEx(key, "Missing", &type, nullptr, &size), reg::kFileNotFound);

    // The query-only handle may not write; a closed handle is refused.
    const std::uint8_t data[] = {1, 2, 3, 4};
    EXPECT_EQ(registry_.SetValueEx(key, "w", 0, reg::kDword, data, 4), reg::kAccessDenied);
    EXPECT_EQ(registry_.DeleteValue(key, "Path"), reg::kAccessDenied);
    EXPECT_EQ(registry_.CloseKey(key), reg::kSuccess);
    EXPECT_EQ(registry_.CloseKey(key), reg::kInvalidHandle);
    EXPECT_EQ(registry_.QueryValueEx(key, "Path", nullptr, nullptr, &size), reg::kInvalidHandle);
    ASSERT_EQ(Open(kScratch, &key), reg::kSuccess);
    EXPECT_EQ(registry_.DeleteValue(key, "path"), reg::kSuccess);
    EXPECT_EQ(registry_.DeleteValue(key, "Path"), reg::kFileNotFound);
    registry_.CloseKey(key);
}

TEST_F(RegistryContract, ExpandsEnvironmentReferencesAndReportsTheNeededSize) {
    const std::uint32_t needed = registry_.ExpandEnvironment("%SystemRoot%\\x", nullptr, 0);
    ASSERT_GT(needed, 4u);
    std::vector<char> expanded(needed, '\x7f');
    ASSERT_EQ(registry_.ExpandEnvironment("%SystemRoot%\\x", expanded.data(), needed), needed);
    const std::string text(expanded.data());
    EXPECT_EQ(text.size(), needed - 1);
    EXPECT_EQ(text.find('%'), std::string::npos);
    EXPECT_TRUE(text.ends_with("\\x")) << text;
    // A buffer too small is left as it was; an unknown reference stays as it is.
    char small[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(registry_.ExpandEnvironment("%SystemRoot%\\x", small, 4), needed);
    EXPECT_EQ(std::string(small, 4), "abcd");
    expanded.assign(64, '\0');
    EXPECT_EQ(registry_.ExpandEnvironment("%NoSuchVariable_Tamsel%", expanded.data(), 64), 24u);
    EXPECT_EQ(std::string(expanded.data()), "%NoSuchVariable_Tamsel%");
}

}  // namespace
}  // namespace tamsel::test
