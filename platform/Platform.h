#pragma once

#include <memory>

#include "platform/Automation.h"
#include "platform/FolderIdentity.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace tamsel {

// Every platform service a program uses, owned together.
class Platform {
  public:
    virtual ~Platform() = default;
    virtual Registry& GetRegistry() = 0;
    virtual Automation& GetAutomation() = 0;
    virtual System& GetSystem() = 0;
    virtual Volumes& GetVolumes() = 0;
    virtual FolderIdentity& GetFolderIdentity() = 0;
};

// Opens the platform this build runs on (the sandbox named by TAMSEL_SANDBOX on Linux, the real
// machine on Windows). Throws std::runtime_error with a message for the user when it cannot.
std::unique_ptr<Platform> OpenPlatform();

}  // namespace tamsel
