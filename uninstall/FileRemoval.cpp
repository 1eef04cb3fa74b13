#include <algorithm>
#include <cctype>

#include "common/ProgramNames.h"
#include "platform/WindowsPath.h"
#include "uninstall/Remove.h"

namespace tamsel {

namespace {

// Whether a folder path names a folder below a drive root. "C:" alone names the current
// directory of drive C:, and "" or a relative path the program's current directory: none of
// them is an installation folder.
bool NamesFolderBelowDriveRoot(const std::string& path) {
    return IsDriveAbsolute(path, true) && path.find_first_not_of("\\/", 3) != std::string::npos;
}

// Removes one trailing "\" from the caller's path (exact character comparison).
void RemoveTrailingSeparator(std::string& path) {
    const auto last = path.rfind('\\');
    if (last != std::string::npos && last + 1 == path.size()) path.pop_back();
}

}  // namespace

void Remove::DeleteFile(const std::string& path, const std::string& fileName) {
    auto fso = platform_.GetAutomation().CreateFileSystemObject();
    const std::string fullName = path + fileName;
    if (fso->FileExists(fullName)) fso->DeleteFile(fullName, true);
}

void Remove::DeleteFolderContents(std::string& path) {
    auto fso = platform_.GetAutomation().CreateFileSystemObject();
    RemoveTrailingSeparator(path);

    // The click handler has checked the folder already; this keeps the procedure from ever
    // emptying the current directory or a drive root on its own.
    if (!NamesFolderBelowDriveRoot(path)) return;
    if (!fso->FolderExists(path)) return;

    const auto folder = fso->GetFolder(path);
    for (const auto& file : folder->Files()) {
        if (LowerCase(file.Name) != names::kUninstallerExe) DeleteFile(path + "\\", file.Name);
    }
}

void Remove::DeleteInstalledFiles(std::string& path) {
    RemoveTrailingSeparator(path);
    // A drive root ("C:") is a folder here too; the empty or a relative path is none.
    if (path.size() < 2 || path[1] != ':' || !NamesFolderBelowDriveRoot(path + "\\x")) return;
    DeleteFile(path + "\\", names::kApplicationExe);
}

}  // namespace tamsel
