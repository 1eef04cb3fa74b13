#pragma once

// What a new sandbox machine holds: the names every part of the sandbox agrees on.
namespace tamsel::sandbox {

inline constexpr const char* kUserName = "User";
inline constexpr const char* kUserProfile = "C:\\Users\\User";
inline constexpr const char* kAppData = "C:\\Users\\User\\AppData\\Roaming";
inline constexpr const char* kLocalAppData = "C:\\Users\\User\\AppData\\Local";
inline constexpr const char* kStartMenu =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
inline constexpr const char* kPrograms =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr const char* kDocuments = "C:\\Users\\User\\Documents";
inline constexpr const char* kDesktop = "C:\\Users\\User\\Desktop";
inline constexpr const char* kTemp = "C:\\Users\\User\\AppData\\Local\\Temp";
inline constexpr const char* kSystemRoot = "C:\\Windows";
// The system's TEMP and TMP, as the folder that Windows keeps for them.
inline constexpr const char* kSystemTemp = "C:\\Windows\\Temp";
inline constexpr const char* kProgramFiles = "C:\\Program Files";

// The OEM code page of a Windows machine set up for the United States, in which its command
// interpreter reads batch files (850 on much of Western Europe, 866 in Russia).
inline constexpr int kDefaultOemCodePage = 437;

inline constexpr const char* kSystemDriveLabel = "System";  // C:
inline constexpr const char* kDataDriveLabel = "Data";      // D:

// The user's environment lives where Windows keeps it, in the registry: HKCU "Environment"
// (TEMP, TMP, USERPROFILE, ...), and the machine's in HKLM under this key (SystemRoot, ...).
inline constexpr const char* kUserEnvironmentKey = "Environment";
inline constexpr const char* kSystemEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

}  // namespace tamsel::sandbox
