#pragma once

#include "platform/FolderIdentity.h"

namespace tamsel::sandbox {

class SandboxMachine;

// Resolves folders of a sandbox machine: names are matched as the drives match them, and a
// symbolic link on a drive is followed to its target inside the machine, whose Windows path is
// then the folder's path.
class SandboxFolderIdentity : public FolderIdentity {
  public:
    explicit SandboxFolderIdentity(SandboxMachine& machine);

    std::optional<ResolvedFolder> Resolve(const std::string& path) override;

  private:
    SandboxMachine& machine_;
};

}  // namespace tamsel::sandbox
