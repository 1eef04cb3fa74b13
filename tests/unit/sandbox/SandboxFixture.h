#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "common/RuntimeError.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {

// A new default machine in a scratch folder, with its file-system object.
class SandboxFixture : public ::testing::Test {
  protected:
    SandboxFixture()
        : machine_(SandboxMachine::Open(scratch_.Path() / "machine")),
          fso_(machine_->GetAutomation().CreateFileSystemObject()) {}

    std::filesystem::path Host(const std::string& windowsPath) {
        return machine_->HostPath(windowsPath, false);
    }

    void WriteFile(const std::string& windowsPath, const std::string& bytes) {
        std::ofstream(Host(windowsPath), std::ios::binary) << bytes;
    }

    std::string ReadFile(const std::string& windowsPath) {
        std::ifstream in(Host(windowsPath), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::ScratchDirectory scratch_;
    std::unique_ptr<SandboxMachine> machine_;
    std::unique_ptr<FileSystemObject> fso_;
};

// The number of the RuntimeError a call raises; 0 when it raises none.
template <typename Call>
int ErrorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace tamsel::sandbox
