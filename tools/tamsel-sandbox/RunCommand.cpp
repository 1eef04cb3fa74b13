// tamsel-sandbox run WINPATH: runs a program of the sandbox (or of the host, through Z:) with
// the sandbox as its machine, waits for it and exits with its status.

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "CommandTable.h"
#include "WindowsPathArgument.h"
#include "platform/RuntimeError.h"
#include "platform/sandbox/HostProcess.h"
#include "platform/sandbox/SandboxLocation.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::tool {

namespace {

// The status of a program that could not be found or executed, as a shell gives it.
constexpr int kCannotRun = 127;

int Run(const std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError();
    const std::string& windowsPath = args[0];
    if (!IsWindowsPathArgument("run", windowsPath)) return kCannotRun;

    std::filesystem::path program;
    std::filesystem::path machineDirectory;
    {
        // The machine is closed again before the program runs: the program opens it itself.
        const auto machine = sandbox::SandboxMachine::Open(sandbox::SandboxDirectory());
        machineDirectory = machine->Directory();
        try {
            program = machine->HostPath(windowsPath, false);
        } catch (const RuntimeError& error) {
            std::cerr << "tamsel-sandbox run: " << windowsPath << ": " << error.Description()
                      << "\n";
            return kCannotRun;
        }
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(program, error)) {
        std::cerr << "tamsel-sandbox run: " << windowsPath << ": no such program\n";
        return kCannotRun;
    }

    const int status = sandbox::RunAndWait(
        program, sandbox::EnvironmentWith("TAMSEL_SANDBOX", machineDirectory.string()));
    if (status < 0) {
        std::cerr << "tamsel-sandbox run: " << windowsPath << ": "
                  << std::generic_category().message(-status) << "\n";
        return kCannotRun;
    }
    return status;
}

}  // namespace

Command RunCommand() {
    return {
        "run",
        {{"run WINPATH", "run a program (C:\\... or the host's Z:\\...), exit with its status"}},
        Run};
}

}  // namespace tamsel::tool
