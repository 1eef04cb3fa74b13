#include "platform/sandbox/SandboxSystem.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/HostProcess.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::sandbox {

SandboxSystem::SandboxSystem(SandboxMachine& machine) : machine_(machine) {}

std::string SandboxSystem::EnvironmentVariable(const std::string& name) {
    return machine_.Environment(name);
}

std::string SandboxSystem::ProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) throw RuntimeError::FromNumber(err::kPathFileAccessError);
    return WithoutTrailingSeparators(machine_.WindowsPath(self.parent_path()));
}

void SandboxSystem::StartProcess(const std::string& commandLine) {
    // The whole command line is the program's Windows path: the programs start the installed
    // application without quotes or arguments.
    std::filesystem::path program;
    try {
        program = machine_.HostPath(commandLine, false);
    } catch (const RuntimeError& error) {
        // A path on no drive names no file, as starting it on Windows reports.
        if (error.Number() == err::kPathNotFound)
            throw RuntimeError::FromNumber(err::kFileNotFound);
        throw;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(program, error)) {
        throw RuntimeError::FromNumber(err::kFileNotFound);
    }
    const int failure =
        StartDetached(program, EnvironmentWith("TAMSEL_SANDBOX", machine_.Directory().string()));
    if (failure == 0) return;
    switch (failure) {
        case ENOENT:
        case ENOTDIR:
            throw RuntimeError::FromNumber(err::kFileNotFound);
        case EACCES:
        case EPERM:
            throw RuntimeError::FromNumber(err::kPermissionDenied);
        case ENOMEM:
            throw RuntimeError::FromNumber(err::kOutOfMemory);
        default:
            throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
    }
}

}  // namespace tamsel::sandbox
