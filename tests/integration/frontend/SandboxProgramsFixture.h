#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sandbox/SandboxMachine.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {

// A fresh sandbox machine in a scratch folder, with a place for host files beside it.
class SandboxProgramsFixture : public ::testing::Test {
  protected:
    std::filesystem::path SandboxDir() const { return scratch_.Path() / "machine"; }
    std::filesystem::path HostDir() const { return scratch_.Path() / "host"; }

    void SetUp() override {
        std::filesystem::create_directories(HostDir());
        sandbox::SandboxMachine::Init(SandboxDir());
    }

    // The Windows path under which programs of the sandbox see a host file (Z:\...).
    std::string WindowsPathOf(const std::filesystem::path& host) const {
        return sandbox::SandboxMachine::Open(SandboxDir())->WindowsPath(host);
    }

    // The host path of a Windows path of the sandbox.
    std::filesystem::path HostPathOf(const std::string& windowsPath) const {
        return sandbox::SandboxMachine::Open(SandboxDir())->HostPath(windowsPath, true);
    }

    // An executable shell script in the host folder.
    std::filesystem::path HostScript(const std::string& name, const std::string& body) const {
        const auto path = HostDir() / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        return path;
    }

    ProcessResult Tool(const std::vector<std::string>& args, const EnvironmentChanges& env = {}) {
        return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), SandboxDir(), args, env);
    }

  private:
    ScratchDirectory scratch_;
};

}  // namespace tamsel::test
