#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "support/ErrorOf.h"

namespace tamsel::test {

// The platform that the contract tests shared by both builds run against: the real machine in
// the Windows build (under Wine), a fresh default sandbox machine in the Linux build.
std::unique_ptr<Platform> OpenContractPlatform();

// Whether the platform is Wine, which differs from Windows in a few points that the tests
// name where they skip them.
bool ContractPlatformIsWine();

// What a test arranges or reads past the platform's objects: a file's bytes ("<missing>" when
// it cannot be read), and a file made read-only or held open by a program (in use: opened
// without sharing) until the test lets it go.
std::string ContractFileBytes(Platform& platform, const std::string& path);
void ProtectContractFile(Platform& platform, const std::string& path, bool inUse, bool on);

// A contract test's platform and its own new folder below TEMP, removed afterwards.
class ContractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        fso_->CreateFolder(root_);
    }
    void TearDown() override {
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
    }
    std::string Bytes(const std::string& path) { return ContractFileBytes(*platform_, path); }
    void Write(const std::string& path, const std::string& text) {
        auto stream = fso_->CreateBatchFile(path);
        stream->Write(text);
        stream->Close();
    }

    std::unique_ptr<Platform> platform_ = OpenContractPlatform();
    std::unique_ptr<FileSystemObject> fso_ = platform_->GetAutomation().CreateFileSystemObject();
    std::string root_ = platform_->GetSystem().EnvironmentVariable("TEMP") + "\\tamsel-contract";
};

}  // namespace tamsel::test
