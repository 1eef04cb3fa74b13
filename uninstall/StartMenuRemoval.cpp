#include "common/ProgramNames.h"
#include "uninstall/InstallationGuard.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

namespace tamsel {

void Remove::RemoveUninstallEntry() {
    registry_.RegistryDeleteKey(reg::kLocalMachine, names::kUninstallKey);
}

void Remove::RemoveStartMenuEntry(const std::string& startMenuGroup) {
    // A group that would lead out of the Programs folder ("..", a drive, a leading "\") is not
    // the group Setup made: nothing there is touched.
    if (!removal::IsStartMenuGroupInsidePrograms(startMenuGroup)) return;

    shortcut_.DeleteShortcut(shortcut_.GetProgramsFolder() + startMenuGroup +
                             removal::kApplicationShortcut);
    shortcut_.DeleteShortcut(shortcut_.GetProgramsFolder() + startMenuGroup +
                             removal::kUninstallShortcut);

    // Without a group name the shortcuts were put into the Programs folder itself, which is
    // never removed, nor the menu order of the whole Programs menu.
    if (startMenuGroup.empty()) return;

    auto fso = platform_.GetAutomation().CreateFileSystemObject();
    if (!fso->FolderExists(shortcut_.GetProgramsFolder() + startMenuGroup)) return;
    const auto folder = fso->GetFolder(shortcut_.GetProgramsFolder() + startMenuGroup);
    // Subfolders count as well: they may belong to other programs, and deleting the group
    // folder would take them along.
    if (!folder->Files().empty() || !folder->SubFolders().empty()) return;
    fso->DeleteFolder(shortcut_.GetProgramsFolder() + startMenuGroup);
    registry_.RegistryDeleteKey(reg::kUsers, removal::kMenuOrderKey + startMenuGroup);
}

}  // namespace tamsel
