#pragma once

#include <string>
#include <vector>

#include "platform/FolderIdentity.h"
#include "platform/System.h"

namespace tamsel::removal {

// Folders whose files the uninstaller must never delete all of, as Windows paths.
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

// Whether a recorded path names a folder on a drive at all: "X:\" followed by levels that are
// neither "." nor ".." and hold no character Windows forbids in names. A trailing "\" is
// allowed. A relative or drive-relative path ("C:", "C:dir") names the current directory,
// which is never an installation folder.
bool IsAbsoluteFolderPath(const std::string& path);

// Whether a folder may lose every file in it, as a folder Setup made itself may: it exists, no
// level of the path is a link or junction, and, compared as the folders the paths resolve to
// (never as text), it is no drive root, no protected folder, no folder above one of
// withAncestors and no folder inside one of withContents.
bool IsTrustworthyFolder(const std::string& path, const ProtectedFolders& protectedFolders,
                         FolderIdentity& folders);

}  // namespace tamsel::removal
