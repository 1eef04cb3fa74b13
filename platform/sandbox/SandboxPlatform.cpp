#include "platform/Platform.h"
#include "platform/sandbox/SandboxLocation.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel {

std::unique_ptr<Platform> OpenPlatform() {
    return sandbox::SandboxMachine::Open(sandbox::SandboxDirectory());
}

}  // namespace tamsel
