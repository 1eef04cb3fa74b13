#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tamsel::sandbox {

// Maps Windows paths to host paths and back. Each drive X: of the sandbox is the folder
// <drives>/x; Z: is the host's own file system, read-only.
//
// Rules of HostPath:
//  - "/" is taken as "\"; the drive letter may have either case;
//  - a path without a drive ("dir\file", "\dir") and a bare "C:" are taken from the root of
//    their drive (C: when none is given): the sandbox keeps no current directory here;
//  - "." is dropped and ".." goes up one component; going above the drive root is refused
//    with 70 rather than silently clamped, so that a path never means something else than it
//    says;
//  - every component is matched without regard to case against what exists (keeping the
//    existing spelling), and else against the short names of what exists (ShortNames.h), so
//    that a path in 8.3 form names the same file; from the first missing component on, the
//    case given is kept;
//  - trailing dots and blanks are dropped from the last component only, as Windows does
//    ("C:\Sub \x" is not "C:\Sub\x"); characters that Windows does not allow in names
//    (< > : " | ? * and control characters) give 52; an empty path gives 76;
//  - on the sandbox's drives, a symbolic link that leads outside the drives folder, or that
//    leads nowhere, is refused with 70;
//  - UNC paths and drives the sandbox does not have give 76; writing on Z: gives 70.
class DriveMap {
  public:
    explicit DriveMap(const std::filesystem::path& drivesFolder);

    std::filesystem::path HostPath(const std::string& windowsPath, bool forWriting) const;
    // The same, also giving the kind of what the path names (links followed; not_found when it
    // does not exist), which the resolution has learnt on the way.
    std::filesystem::path HostPath(const std::string& windowsPath, bool forWriting,
                                   std::filesystem::file_type& kind) const;
    std::string WindowsPath(const std::filesystem::path& hostPath) const;

    // The folder of a drive letter (either case), whether or not it exists.
    std::filesystem::path DriveFolder(char letter) const;
    const std::filesystem::path& DrivesFolder() const { return drives_; }

  private:
    // Refuses (70) a link that leads outside the drives folder or nowhere.
    void CheckLinkTarget(const std::filesystem::path& link) const;

    std::filesystem::path drives_;
    // The drives folder with every link resolved; empty when it does not exist.
    std::filesystem::path confinement_;
};

// The names of the entries of a host folder, in no particular order; empty when it cannot be
// listed.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

// The letter the host's file system appears under.
inline constexpr char kHostDriveLetter = 'z';

// The volume serial number the sandbox reports for a drive: fixed per letter, so that shortcut
// files written for the same target are the same bytes.
std::uint32_t VolumeSerialNumber(char letter);

}  // namespace tamsel::sandbox
