// The registry through the Win32 functions' contract, checked on both platforms with the same
// expectations: status codes, sizes, handles and their rights, and UTF-8 text kept whole.
#include <gtest/gtest.h>

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
    // Creates or opens the key and closes its handle; returns the disposition, 0 on failure.
    std::uint32_t Create(RegKey root, const std::string& path) {
        RegKey key = 0;
        std::uint32_t disposition = 0;
        if (registry_.CreateKeyEx(root, path, 0, nullptr, reg::kOptionNonVolatile,
                                  reg::kKeySixRights, &key, &disposition) != reg::kSuccess) {
            return 0;
        }
        EXPECT_EQ(registry_.CloseKey(key), reg::kSuccess);
        return disposition;
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
    EXPECT_EQ(Create(kCu, deep), reg::kCreatedNewKey);
    EXPECT_EQ(Create(kCu, "SOFTWARE\\tamselcontracttest\\a\\b\\c"), reg::kOpenedExistingKey);
    RegKey key = 0;
    ASSERT_EQ(Open(kScratch + "\\a\\B", &key), reg::kSuccess);
    EXPECT_EQ(Create(key, "New\\Leaf"), reg::kCreatedNewKey);  // relative to an open handle
    registry_.CloseKey(key);
    ASSERT_EQ(Open(kScratch + "\\A\\b\\NEW\\leaf\\", &key), reg::kSuccess);
    registry_.CloseKey(key);

    // A value written under another case of its name replaces it.
    ASSERT_EQ(PutText(registry_, kCu, kScratch + "\\A", "DisplayName", "a"), reg::kSuccess);
    ASSERT_EQ(PutText(registry_, kCu, kScratch + "\\a", "DISPLAYNAME", "bc"), reg::kSuccess);
    const StoredValue replaced{reg::kSz, BytesOf("bc\0"s)};
    EXPECT_EQ(Get(registry_, kCu, kScratch + "\\A", "displayname"), replaced);
    // A key with subkeys is not deleted; a missing one is "not found".
    EXPECT_EQ(registry_.DeleteKey(kCu, kScratch + "\\A"), reg::kAccessDenied);
    EXPECT_EQ(Get(registry_, kCu, kScratch + "\\A", "DisplayName"), replaced);
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
        {"Blob", {reg::kBinary, {0x00, 0xFF, 0x80, 0x00}}},
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
    Bytes buffer(32, '#');
    for (std::uint32_t small : {0u, 1u, stored - 1}) {
        size = small;
        EXPECT_EQ(registry_.QueryValueEx(key, "Path", &type, buffer.data(), &size), reg::kMoreData);
        EXPECT_EQ(size, stored);
    }
    EXPECT_EQ(buffer, Bytes(32, '#'));  // nothing was written into a buffer that was too small
    size = 32;
    EXPECT_EQ(registry_.QueryValueEx(key, "PATH", &type, buffer.data(), &size), reg::kSuccess);
    EXPECT_EQ(size, stored);
    EXPECT_EQ(buffer, BytesOf(path + '\0' + std::string(32 - stored, '#')));
    EXPECT_EQ(registry_.QueryValueEx(key, "Path", &type, buffer.data(), nullptr),
              reg::kInvalidParameter);
    EXPECT_EQ(registry_.QueryValueEx(key, "Missing", &type, nullptr, &size), reg::kFileNotFound);

    // The query-only handle may not write; a closed handle is refused.
    EXPECT_EQ(registry_.SetValueEx(key, "w", 0, reg::kDword, buffer.data(), 4), reg::kAccessDenied);
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
    std::string expanded(needed, '\x7f');
    ASSERT_EQ(registry_.ExpandEnvironment("%SystemRoot%\\x", expanded.data(), needed), needed);
    EXPECT_EQ(expanded.find('%'), std::string::npos);
    EXPECT_EQ(expanded.find('\0'), needed - 1);
    EXPECT_TRUE(expanded.ends_with("\\x"s + '\0')) << expanded;
    // A buffer too small is left as it was; an unknown reference stays as it is.
    std::string small = "abcd";
    EXPECT_EQ(registry_.ExpandEnvironment("%SystemRoot%\\x", small.data(), 4), needed);
    EXPECT_EQ(small, "abcd");
    expanded.assign(64, '\0');
    EXPECT_EQ(registry_.ExpandEnvironment("%NoSuchVariable_Tamsel%", expanded.data(), 64), 24u);
    EXPECT_EQ(expanded.substr(0, 24), "%NoSuchVariable_Tamsel%"s + '\0');
}

}  // namespace
}  // namespace tamsel::test
