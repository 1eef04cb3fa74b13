#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {

// A fresh sandbox machine with helpers to place files and RunOnce values.
class SandboxTest : public ::testing::Test {
  protected:
    SandboxTest() : machine_(SandboxMachine::Open(scratch_.Path() / "machine")) {}

    std::filesystem::path Host(const std::string& windowsPath) {
        return machine_->HostPath(windowsPath, true);
    }
    void PutFile(const std::string& windowsPath, const std::string& content = "x") {
        const auto host = Host(windowsPath);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary) << content;
    }
    void PutFolder(const std::string& windowsPath) {
        std::filesystem::create_directories(Host(windowsPath));
    }
    bool Exists(const std::string& windowsPath) {
        return std::filesystem::exists(Host(windowsPath));
    }
    void PutValue(RegKey root, const std::string& key, const std::string& name,
                  const std::string& text, std::uint32_t type = tamsel::reg::kSz) {
        auto& registry = machine_->GetSqliteRegistry();
        RegKey handle = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(registry.CreateKeyEx(root, key, 0, nullptr, 0, tamsel::reg::kKeySixRights,
                                       &handle, &disposition),
                  0);
        const std::string data = text + '\0';
        ASSERT_EQ(registry.SetValueEx(handle, name, 0, type,
                                      reinterpret_cast<const std::uint8_t*>(data.data()),
                                      static_cast<std::uint32_t>(data.size())),
                  0);
        registry.CloseKey(handle);
    }

    test::ScratchDirectory scratch_;
    std::unique_ptr<SandboxMachine> machine_;
    std::ostringstream messages_;
};

}  // namespace tamsel::sandbox
