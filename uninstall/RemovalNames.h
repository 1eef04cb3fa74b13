#pragma once

#include "common/ProgramNames.h"

// The registry keys, file names and texts of the uninstaller.
namespace tamsel::removal {

inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "Tamsel Orry";
inline constexpr const char* kUserRunKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run\\TamselOrry";
inline constexpr const char* kPathValue = "Path";
inline constexpr const char* kStartMenuGroupValue = "StartMenuGroup";

inline constexpr const char* kApplicationShortcut = "\\Tamsel Orry.lnk";
inline constexpr const char* kUninstallShortcut = "\\Uninstall Tamsel Orry.lnk";
inline constexpr const char* kMenuOrderKey =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
    "MenuOrder\\Start Menu\\&Programs\\";

inline constexpr const char* kRunOnceKey = names::kRunOnceKey;
inline constexpr const char* kRunOnceValue = names::kRunOnceValue;
inline constexpr const char* kBatchFileName = "\\touninst.bat";

inline constexpr const char* kCaption = "Uninstall Tamsel Orry";
inline constexpr const char* kQuestion = "Are you sure you want to Uninstall Tamsel Orry?";
inline constexpr const char* kCompletionTitle = "Tamsel Orry Uninstall Complete!";
inline constexpr const char* kCompletionText =
    "Tamsel Orry Uninstall has completed.\r\n"
    "Some elements could not be deleted now.\r\n"
    "They will be deleted when you reboot.";

// Shown instead of the completion message when the removal left the installation folder alone.
inline constexpr const char* kNoticeTitle = "Tamsel Orry Uninstall";
inline constexpr const char* kNotInstalledText =
    "No installation of Tamsel Orry was found on this computer.\r\n"
    "No program files were deleted.";
inline constexpr const char* kShortcutsLeftText =
    "Tamsel Orry was removed, but its Start-menu shortcuts were left in place: the recorded "
    "group does not name a folder inside the Programs folder:";
inline constexpr const char* kShortcutsLeftTail =
    "Delete \"Tamsel Orry.lnk\" and \"Uninstall Tamsel Orry.lnk\" there by hand.";

// The installer's own names (on Windows, and in a Linux build): the folder that holds it is the
// installation media, never an installation.
inline constexpr const char* kSetupProgramNames[] = {"Setup.exe", "Setup"};

// Titles the report of a failure that ends the program.
inline constexpr const char* kFailureTitle = "Uninstall";

}  // namespace tamsel::removal
