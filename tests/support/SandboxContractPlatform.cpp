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

void SetContractReadOnly(Platform& platform, const std::string& path, bool readOnly) {
    static_cast<sandbox::SandboxMachine&>(platform).SetReadOnly(path, readOnly);
}

void SetContractInUse(Platform& platform, const std::string& path, bool inUse) {
    static_cast<sandbox::SandboxMachine&>(platform).SetInUse(path, inUse);
}

}  // namespace tamsel::test
