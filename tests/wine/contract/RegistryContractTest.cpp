// The registry layer against the real advapi32 (under Wine): the status codes and sizes the
// registry module relies on, and text converted between UTF-8 and the registry's UTF-16.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamsel {
namespace {

constexpr const char* kScratch = "Software\\TamselContractTest";

class RegistryContract : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    void Clean() {
        registry().DeleteKey(reg::kCurrentUser, std::string(kScratch) + "\\A\\B\\C");
        registry().DeleteKey(reg::kCurrentUser, std::string(kScratch) + "\\A\\B");
        registry().DeleteKey(reg::kCurrentUser, std::string(kScratch) + "\\A");
        registry().DeleteKey(reg::kCurrentUser, kScratch);
    }
    Registry& registry() { return platform_->GetRegistry(); }

    RegKey Create(const std::string& path, std::uint32_t* disposition = nullptr) {
        RegKey key = 0;
        EXPECT_EQ(reg::kSuccess, registry().CreateKeyEx(reg::kCurrentUser, path, 0, nullptr,
                                                        reg::kOptionNonVolatile, reg::kKeySixRights,
                                                        &key, disposition));
        return key;
    }
    void SetText(RegKey key, const std::string& name, const std::string& text) {
        ASSERT_EQ(reg::kSuccess,
                  registry().SetValueEx(key, name, 0, reg::kSz,
                                        reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                        static_cast<std::uint32_t>(text.size() + 1)));
    }

    std::unique_ptr<Platform> platform_ = OpenPlatform();
};

TEST_F(RegistryContract, CreatesNestedKeysAndReportsTheStatusCodesCallersRelyOn) {
    const std::string deep = std::string(kScratch) + "\\A\\B\\C";
    std::uint32_t disposition = 0;
    EXPECT_EQ(reg::kSuccess, registry().CloseKey(Create(deep, &disposition)));
    EXPECT_EQ(reg::kCreatedNewKey, disposition);
    registry().CloseKey(Create(deep, &disposition));
    EXPECT_EQ(reg::kOpenedExistingKey, disposition);
    RegKey key = 0;

    // Names are compared without regard to case.
    ASSERT_EQ(reg::kSuccess,
              registry().OpenKeyEx(reg::kCurrentUser, "SOFTWARE\\tamselcontracttest\\a\\b\\c", 0,
                                   reg::kKeyQueryValue, &key));
    registry().CloseKey(key);

    // A key with subkeys is not deleted; a missing one is "not found".
    EXPECT_EQ(reg::kAccessDenied,
              registry().DeleteKey(reg::kCurrentUser, std::string(kScratch) + "\\A"));
    EXPECT_EQ(reg::kSuccess, registry().DeleteKey(reg::kCurrentUser, deep));
    EXPECT_EQ(reg::kFileNotFound, registry().DeleteKey(reg::kCurrentUser, deep));
    EXPECT_EQ(reg::kFileNotFound,
              registry().OpenKeyEx(reg::kCurrentUser, deep, 0, reg::kKeyQueryValue, &key));
}

TEST_F(RegistryContract, QueriesSizeFirstThenDataAndReportsMoreData) {
    const RegKey key = Create(kScratch);
    SetText(key, "ApplicationName", "TamselOrry.exe");

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(reg::kSuccess,
              registry().QueryValueEx(key, "applicationname", &type, nullptr, &size));
    EXPECT_EQ(reg::kSz, type);
    EXPECT_EQ(15u, size);

    std::vector<std::uint8_t> small(4, 0);
    std::uint32_t smallSize = 4;
    EXPECT_EQ(reg::kMoreData,
              registry().QueryValueEx(key, "ApplicationName", &type, small.data(), &smallSize));
    EXPECT_EQ(15u, smallSize);

    std::vector<std::uint8_t> buffer(size, 0xFF);
    ASSERT_EQ(reg::kSuccess,
              registry().QueryValueEx(key, "ApplicationName", &type, buffer.data(), &size));
    EXPECT_STREQ("TamselOrry.exe", reinterpret_cast<const char*>(buffer.data()));

    EXPECT_EQ(reg::kFileNotFound, registry().QueryValueEx(key, "Missing", &type, nullptr, &size));
    EXPECT_EQ(reg::kSuccess, registry().DeleteValue(key, "ApplicationName"));
    EXPECT_EQ(reg::kFileNotFound, registry().DeleteValue(key, "ApplicationName"));

    // The default value has the empty name; binary and DWORD data come back byte for byte.
    SetText(key, "", "C:\\Program Files\\Tamsel Orry\\TamselOrry.exe");
    size = 0;
    ASSERT_EQ(reg::kSuccess, registry().QueryValueEx(key, "", &type, nullptr, &size));
    EXPECT_EQ(std::strlen("C:\\Program Files\\Tamsel Orry\\TamselOrry.exe") + 1, size);
    const std::uint8_t dword[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(reg::kSuccess, registry().SetValueEx(key, "Number", 0, reg::kDword, dword, 4));
    std::uint8_t back[4] = {};
    size = 4;
    ASSERT_EQ(reg::kSuccess, registry().QueryValueEx(key, "Number", &type, back, &size));
    EXPECT_EQ(reg::kDword, type);
    EXPECT_EQ(0, std::memcmp(dword, back, 4));

    // Text outside ASCII, outside the ANSI code page and outside the Basic Multilingual Plane
    // comes back as it went, sizes in UTF-8 bytes.
    const std::string text =
        "Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xBE \xE6\xB8\xB8 \xF0\x9D\x84\x9E Music";
    SetText(key, "Name \xC3\xA9", text);
    size = 0;
    ASSERT_EQ(reg::kSuccess, registry().QueryValueEx(key, "Name \xC3\xA9", &type, nullptr, &size));
    EXPECT_EQ(text.size() + 1, size);
    buffer.assign(size, 0);
    ASSERT_EQ(reg::kSuccess,
              registry().QueryValueEx(key, "Name \xC3\xA9", &type, buffer.data(), &size));
    EXPECT_EQ(text, std::string(reinterpret_cast<const char*>(buffer.data())));
    registry().CloseKey(key);
}

TEST_F(RegistryContract, ExpandsEnvironmentReferencesAndReportsTheNeededSize) {
    char probe[1] = {};
    const std::uint32_t needed = registry().ExpandEnvironment("%SystemRoot%\\x", probe, 1);
    ASSERT_GT(needed, 4u);
    std::vector<char> expanded(needed, '\0');
    ASSERT_EQ(needed, registry().ExpandEnvironment("%SystemRoot%\\x", expanded.data(), needed));
    const std::string text(expanded.data());
    EXPECT_EQ(needed - 1, text.size());
    EXPECT_EQ(std::string::npos, text.find('%'));
    EXPECT_EQ("\\x", text.substr(text.size() - 2));
    // An unknown reference stays as it is.
    expanded.assign(64, '\0');
    EXPECT_EQ(24u, registry().ExpandEnvironment("%NoSuchVariable_Tamsel%", expanded.data(), 64));
}

}  // namespace
}  // namespace tamsel
