#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/RegistryAccess.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/FaultInjectionRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/ScratchDirectory.h"

namespace tamsel {

inline constexpr const char* kTestKey = "SOFTWARE\\Tamsel Test";

// RegistryAccess over a fresh sandbox registry, seen through a FaultInjectionRegistry. Every
// test ends with no key handle left open and none closed that was not opened.
class RegistryAccessTest : public ::testing::Test {
  protected:
    RegistryAccessTest()
        : store_(sandbox::SqliteRegistry::Open(scratch_.Path() / "registry.db")),
          registry_(*store_),
          access_(registry_, boxes_) {}

    void TearDown() override {
        EXPECT_EQ(registry_.OpenHandleCount(), 0u);
        EXPECT_EQ(registry_.StrayCloseCount(), 0u);
        EXPECT_EQ(store_->OpenHandleCount(), 0u);
    }

    // Stores a value with exact bytes, bypassing the module.
    void PutRaw(const std::string& keyPath, const std::string& name, std::uint32_t type,
                const std::string& bytes) {
        RegKey key = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(store_->CreateKeyEx(reg::kLocalMachine, keyPath, 0, nullptr, 0, 0x3F, &key,
                                      &disposition),
                  0);
        ASSERT_EQ(store_->SetValueEx(key, name, 0, type,
                                     reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     static_cast<std::uint32_t>(bytes.size())),
                  0);
        store_->CloseKey(key);
    }

    // The stored value, bypassing the module; nothing when it is missing.
    std::optional<sandbox::RegistryValue> GetRaw(const std::string& keyPath,
                                                 const std::string& name) {
        for (const auto& value : store_->Values(reg::kLocalMachine, keyPath)) {
            if (value.name == name) return value;
        }
        return std::nullopt;
    }

    static std::string Text(const std::vector<std::uint8_t>& bytes) {
        return std::string(bytes.begin(), bytes.end());
    }

    bool KeyExists(const std::string& keyPath) {
        return store_->KeyExists(reg::kLocalMachine, keyPath);
    }

    Variant Get(const std::string& name, const std::string& keyPath = kTestKey) {
        return access_.RegistryGetKeyValue(reg::kLocalMachine, keyPath, name);
    }

    test::ScratchDirectory scratch_;
    std::unique_ptr<sandbox::SqliteRegistry> store_;
    test::FaultInjectionRegistry registry_;
    test::RecordingMessageBoxes boxes_;
    RegistryAccess access_;
};

}  // namespace tamsel
