#include "platform/sandbox/SandboxVolumes.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/MachineStore.h"
#include "platform/sandbox/NameOrder.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

SandboxVolumes::SandboxVolumes(SandboxMachine& machine, MachineStore& store)
    : machine_(machine), store_(store) {}

std::vector<DriveInfo> SandboxVolumes::Drives() {
    std::vector<VolumeLabel> labels = store_.Labels();
    std::vector<DriveInfo> drives;
    std::error_code error;
    for (fs::directory_iterator it(machine_.Directory() / "drives", error), end;
         !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.size() != 1 || !std::islower(static_cast<unsigned char>(name[0])) ||
            name[0] == kHostDriveLetter || !it->is_directory()) {
            continue;
        }
        DriveInfo drive;
        drive.letter = name[0];
        for (const auto& label : labels) {
            if (label.letter == drive.letter) drive.label = label.label;
        }
        drives.push_back(drive);
    }
    std::sort(drives.begin(), drives.end(),
              [](const DriveInfo& a, const DriveInfo& b) { return a.letter < b.letter; });
    return drives;
}

std::string SandboxVolumes::CurrentDirectory(char driveLetter) {
    auto found = currentDirectories_.find(LowerCase(driveLetter));
    if (found != currentDirectories_.end()) return found->second;
    return std::string(1, UpperCase(driveLetter)) + ":\\";
}

void SandboxVolumes::SetCurrentDirectory(char driveLetter, const std::string& path) {
    fs::path host = machine_.HostPath(path, false);
    std::error_code error;
    if (!fs::is_directory(host, error)) throw RuntimeError::FromNumber(err::kPathNotFound);
    std::string windowsPath = machine_.WindowsPath(host);
    if (LowerCase(windowsPath[0]) != LowerCase(driveLetter)) {
        throw RuntimeError::FromNumber(err::kInvalidProcedureCall);
    }
    currentDirectories_[LowerCase(driveLetter)] = windowsPath;
}

bool SandboxVolumes::DirectoryExists(const std::string& path) {
    try {
        std::error_code error;
        return fs::is_directory(machine_.HostPath(path, false), error);
    } catch (const RuntimeError&) {
        return false;
    }
}

std::vector<std::string> SandboxVolumes::SubDirectories(const std::string& path) {
    std::vector<std::string> names;
    try {
        fs::path host = machine_.HostPath(path, false);
        std::error_code error;
        for (fs::directory_iterator it(host, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code kindError;
            if (fs::is_directory(it->path(), kindError)) {
                names.push_back(it->path().filename().string());
            }
        }
        if (error) return {};
    } catch (const RuntimeError&) {
        return {};
    }
    SortNames(names);
    return names;
}

}  // namespace tamsel::sandbox
