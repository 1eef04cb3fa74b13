#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/System.h"

namespace tamsel::sandbox {

class SandboxMachine;
class MachineStore;

// The drives of a sandbox machine (C:, D:, ... with their labels, always ready; Z:, the host's
// file system, is not listed) and a current directory per drive, kept for this process only.
class SandboxVolumes : public Volumes {
  public:
    SandboxVolumes(SandboxMachine& machine, MachineStore& store);

    std::vector<DriveInfo> Drives() override;
    std::string CurrentDirectory(char driveLetter) override;
    // Throws RuntimeError 76 for a directory that does not exist, 5 for one on another drive.
    void SetCurrentDirectory(char driveLetter, const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    std::vector<std::string> SubDirectories(const std::string& path) override;

  private:
    SandboxMachine& machine_;
    MachineStore& store_;
    std::map<char, std::string> currentDirectories_;
};

}  // namespace tamsel::sandbox
