#include "contract/ContractPlatform.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {

namespace {

sandbox::SandboxMachine& MachineOf(Platform& platform) {
    return static_cast<sandbox::SandboxMachine&>(platform);
}

}  // namespace

// A default sandbox machine in a new folder of its own; all of them go when the tests end.
std::unique_ptr<Platform> OpenContractPlatform() {
    static ScratchDirectory scratch;
    static int count = 0;
    return sandbox::SandboxMachine::Open(scratch.Path() / std::to_string(++count));
}

bool ContractPlatformIsWine() { return false; }

std::string ContractFileBytes(Platform& platform, const std::string& path) {
    const std::filesystem::path host = MachineOf(platform).HostPath(path, false);
    return std::filesystem::is_regular_file(host) ? ReadHostFile(host) : "<missing>";
}

void SetContractReadOnly(Platform& platform, const std::string& path, bool readOnly) {
    MachineOf(platform).SetReadOnly(path, readOnly);
}

void SetContractInUse(Platform& platform, const std::string& path, bool inUse) {
    MachineOf(platform).SetInUse(path, inUse);
}

}  // namespace tamsel::test
