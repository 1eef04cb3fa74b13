#include "contract/ContractPlatform.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {

// A default sandbox machine in a new folder of its own; all of them go when the tests end.
std::unique_ptr<Platform> OpenContractPlatform() {
    static ScratchDirectory scratch;
    static int count = 0;
    return sandbox::SandboxMachine::Open(scratch.Path() / std::to_string(++count));
}

bool ContractPlatformIsWine() { return false; }

std::string ContractFileBytes(Platform& platform, const std::string& path) {
    const std::filesystem::path host =
        static_cast<sandbox::SandboxMachine&>(platform).HostPath(path, false);
    return std::filesystem::is_regular_file(host) ? ReadHostFile(host) : "<missing>";
}

void ProtectContractFile(Platform& platform, const std::string& path, bool inUse, bool on) {
    auto& machine = static_cast<sandbox::SandboxMachine&>(platform);
    inUse ? machine.SetInUse(path, on) : machine.SetReadOnly(path, on);
}

}  // namespace tamsel::test
