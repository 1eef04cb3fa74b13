#include <fstream>
#include <iterator>

#include "contract/ContractPlatform.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {

namespace {

// A default sandbox machine in a scratch folder of its own, removed with the platform.
struct ScratchSandboxPlatform : Platform {
    Registry& GetRegistry() override { return machine->GetRegistry(); }
    Automation& GetAutomation() override { return machine->GetAutomation(); }
    System& GetSystem() override { return machine->GetSystem(); }
    Volumes& GetVolumes() override { return machine->GetVolumes(); }
    FolderIdentity& GetFolderIdentity() override { return machine->GetFolderIdentity(); }

    ScratchDirectory scratch;
    std::unique_ptr<sandbox::SandboxMachine> machine =
        sandbox::SandboxMachine::Open(scratch.Path() / "m");
};

sandbox::SandboxMachine& MachineOf(Platform& platform) {
    return *static_cast<ScratchSandboxPlatform&>(platform).machine;
}

}  // namespace

std::unique_ptr<Platform> OpenContractPlatform() {
    return std::make_unique<ScratchSandboxPlatform>();
}

bool ContractPlatformIsWine() { return false; }

std::string ContractFileBytes(Platform& platform, const std::string& path) {
    std::ifstream in(MachineOf(platform).HostPath(path, false), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void SetContractReadOnly(Platform& platform, const std::string& path, bool readOnly) {
    MachineOf(platform).SetReadOnly(path, readOnly);
}

void SetContractInUse(Platform& platform, const std::string& path, bool inUse) {
    MachineOf(platform).SetInUse(path, inUse);
}

}  // namespace tamsel::test
