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

}  // namespace tamsel::names
