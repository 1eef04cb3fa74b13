#pragma once

// The names both programs share: the application, its files and its registry record.
namespace tamsel::names {

inline constexpr const char* kApplicationName = "Tamsel Orry";
inline constexpr const char* kApplicationExe = "TamselOrry.exe";
inline constexpr const char* kUninstallerExe = "uninstall.exe";

inline constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel Orry";
inline constexpr const char* kAppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TamselOrry.exe";

// A value of the uninstall entry, written after "UninstallString": "1" when Setup made the
// installation folder itself, "0" when the folder existed before (or was reached through a
// link). Only a folder Setup made may lose every file at the removal; without the value (an
// older or interrupted record) only the files of the installation go.
inline constexpr const char* kFolderCreatedValue = "InstallFolderCreated";
inline constexpr const char* kFolderCreated = "1";
inline constexpr const char* kFolderExisted = "0";

// The removal that the uninstaller leaves to the next log-on: a "RunOnce" value that names its
// batch file.
inline constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const char* kRunOnceValue = "Tamsel Orry Uninstall";

}  // namespace tamsel::names
