#pragma once

#include <string>
#include <vector>

#include "platform/FileSystemObject.h"
#include "platform/System.h"

namespace tamsel::removal {

// Folders whose files the uninstaller must never delete, as Windows paths.
struct ProtectedFolders {
    // Neither these folders nor any folder above them (a drive's "Users" folder holds profiles).
    std::vector<std::string> withAncestors;
    // Neither these folders nor any folder inside them (the Windows folder, the Start menu).
    std::vector<std::string> withContents;
};

// The machine's system and user folders: from its environment (SystemRoot, ProgramFiles,
// USERPROFILE, TEMP, ...), the usual folders of the user's profile, the usual folders of the
// system drive, and the Start menu that holds programsFolder.
ProtectedFolders CollectProtectedFolders(System& system, const std::string& programsFolder);

// Whether the recorded installation folder may be emptied and handed to the clean-up batch:
// an absolute folder path below a drive root ("X:\name..."), no "." or ".." level, none of the
// characters Windows forbids in names, none of the protected folders, and, when the folder
// exists, one that holds "uninstall.exe" or "TamselOrry.exe". A trailing "\" is allowed.
bool IsRemovableInstallationFolder(const std::string& path,
                                   const ProtectedFolders& protectedFolders, FileSystemObject& fso);

// The same test without looking at the folder's contents.
bool IsRemovableFolderPath(const std::string& path, const ProtectedFolders& protectedFolders);

// Whether a recorded Start-menu group names a folder inside the Programs folder: relative, no
// drive, no leading "\", no "." or ".." level, no characters Windows forbids in names. The
// empty group (the Programs folder itself) is accepted here; the caller treats it apart.
bool IsStartMenuGroupInsidePrograms(const std::string& group);

}  // namespace tamsel::removal
