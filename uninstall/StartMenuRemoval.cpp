#include "common/ProgramNames.h"
#include "common/StartMenuGroupName.h"
#include "uninstall/RemovalNames.h"
#include "uninstall/Remove.h"

namespace tamsel {

void Remove::RemoveUninstallEntry() {
    registry_.RegistryDeleteKey(reg::kLocalMachine, names::kUninstallKey);
}

void Remove::RemoveStartMenuEntry(const std::string& startMenuGroup) {
    // A group the group-name rule refuses ("..", a drive, a leading separator, ...) is not a
    // group Setup made inside the Programs folder: nothing there is touched.
    if (!IsAcceptedStartMenuGroup(startMenuGroup)) return;
    const std::string group = StartMenuGroupPath(startMenuGroup);

    shortcut_.DeleteShortcut(shortcut_.GetProgramsFolder() + group + removal::kApplicationShortcut);
    shortcut_.DeleteShortcut(shortcut_.GetProgramsFolder() + group + removal::kUninstallShortcut);

    // Without a group name the shortcuts were put into the Programs folder itself, which is
    // never removed, nor the menu order of the whole Programs menu.
    if (group.empty()) return;

    auto fso = platform_.GetAutomation().CreateFileSystemObject();
    if (!fso->FolderExists(shortcut_.GetProgramsFolder() + group)) return;
    const auto folder = fso->GetFolder(shortcut_.GetProgramsFolder() + group);
    // Subfolders count as well: they may belong to other programs, and deleting the group
    // folder would take them along.
    if (!folder->Files().empty() || !folder->SubFolders().empty()) return;
    fso->DeleteFolder(shortcut_.GetProgramsFolder() + group);
    registry_.RegistryDeleteKey(reg::kUsers, removal::kMenuOrderKey + group);
}

}  // namespace tamsel
