#include "contract/ContractPlatform.h"
#include "platform/sandbox/SandboxMachine.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {

namespace {

// A default sandbox machine in a scratch folder of its own, removed with the platform.
class ScratchSandboxPlatform : public Platform {
  public:
    ScratchSandboxPlatform() : machine_(sandbox::SandboxMachine::Open(scratch_.Path() / "m")) {}

    Registry& GetRegistry() override { return machine_->GetRegistry(); }
    Automation& GetAutomation() override { return machine_->GetAutomation(); }
    System& GetSystem() override { return machine_->GetSystem(); }
    Volumes& GetVolumes() override { return machine_->GetVolumes(); }
    FolderIdentity& GetFolderIdentity() override { return machine_->GetFolderIdentity(); }

  private:
    ScratchDirectory scratch_;
    std::unique_ptr<sandbox::SandboxMachine> machine_;
};

}  // namespace

std::unique_ptr<Platform> OpenContractPlatform() {
    return std::make_unique<ScratchSandboxPlatform>();
}

bool ContractPlatformIsWine() { return false; }

}  // namespace tamsel::test
