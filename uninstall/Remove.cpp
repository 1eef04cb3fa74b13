#include "uninstall/Remove.h"

#include "common/ProgramNames.h"
#include "common/StartMenuGroupName.h"
#include "common/ui/Application.h"
#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "uninstall/InstallationGuard.h"
#include "uninstall/RemovalNames.h"

namespace tamsel {

void Remove::NoButton_Click() { Unload(); }

// The removal. Whatever it stops at (a file in use, a missing scripting host), running the
// uninstaller again finishes it: the registry record goes last, once the shortcuts, the files
// and the batch file it describes are dealt with.
void Remove::OKButton_Click() {
    // The application's start-up entry for all users.
    registry_.RegistryDeleteValue(reg::kLocalMachine, removal::kRunKey, removal::kRunValue);

    // What the record says, all read before any of it goes: where Setup put the files and the
    // shortcuts, and whether Setup made the folder itself.
    const Variant recordedPath =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kAppPathsKey, removal::kPathValue);
    const Variant recordedGroup = registry_.RegistryGetKeyValue(
        reg::kLocalMachine, names::kAppPathsKey, removal::kStartMenuGroupValue);
    const Variant recordedFlag = registry_.RegistryGetKeyValue(
        reg::kLocalMachine, names::kUninstallKey, names::kFolderCreatedValue);
    const Variant uninstallString =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kUninstallKey, "UninstallString");

    std::string path = recordedPath.ToText();
    bool madeBySetup = false;
    if (removal::IsAbsoluteFolderPath(path)) {
        madeBySetup = FolderMadeBySetup(path, recordedFlag, uninstallString);
    } else {
        // No folder recorded, as after a removal that stopped once the record was gone: the
        // installation is the one the uninstaller runs from, if it holds the application.
        path = FolderOfRunningUninstaller();
    }

    // A missing group value means no group was recorded; an empty one means Setup put the two
    // shortcuts directly into the Programs folder.
    const std::string startMenuGroup = recordedGroup.ToText();
    if (!recordedGroup.IsEmpty()) RemoveStartMenuEntry(startMenuGroup);

    if (!path.empty()) {
        // Every file of a folder Setup made; only the application's own file elsewhere.
        if (madeBySetup) {
            DeleteFolderContents(path);  // shortens path by its trailing "\"
        } else {
            DeleteInstalledFiles(path);  // the same
        }
        // A drive root keeps its "\": "C:" alone names the current directory of drive C:.
        if (path.size() == 2 && StartsWithDrive(path)) path += '\\';
        MakeandRunBatch(path);
    }

    RemoveRecord();

    if (path.empty()) {
        ShowNotice(removal::kNotInstalledText, MsgIcon::Information);
        NoButton_Click();
        return;
    }
    if (!recordedGroup.IsEmpty() && !ShortcutsGone(startMenuGroup)) {
        ShowNotice(std::string(removal::kShortcutsLeftText) + "\r\n" + startMenuGroup + "\r\n" +
                       removal::kShortcutsLeftTail,
                   MsgIcon::Exclamation);
        App().End(exit_status::kFailure);
        NoButton_Click();
        return;
    }

    MessageBoxSpec completion;
    completion.title = removal::kCompletionTitle;
    completion.text = removal::kCompletionText;
    completion.buttons = MsgButtons::OK;
    completion.icon = MsgIcon::None;
    App().MsgBox(completion);
    NoButton_Click();
}

// Only where the record says Setup made the folder, the uninstall entry that says so names the
// same folder, and the folder is one whose files may all go.
bool Remove::FolderMadeBySetup(const std::string& path, const Variant& recordedFlag,
                               const Variant& uninstallString) {
    if (recordedFlag != names::kFolderCreated) return false;
    if (LowerCase(uninstallString.ToText()) != LowerCase(path + names::kUninstallerExe))
        return false;
    const auto protectedFolders =
        removal::CollectProtectedFolders(platform_.GetSystem(), shortcut_.GetProgramsFolder());
    return removal::IsTrustworthyFolder(path, protectedFolders, platform_.GetFolderIdentity());
}

// The folder of the running uninstaller, with its trailing "\", when it holds the application
// and is not the installation media (which holds Setup); "" otherwise.
std::string Remove::FolderOfRunningUninstaller() {
    std::string folder;
    try {
        folder = platform_.GetSystem().ProgramFolder();
    } catch (const RuntimeError&) {
        return "";
    }
    if (!removal::IsAbsoluteFolderPath(folder)) return "";
    if (folder.back() != '\\') folder += '\\';
    const auto fso = platform_.GetAutomation().CreateFileSystemObject();
    if (!fso->FileExists(folder + names::kApplicationExe)) return "";
    for (const char* setup : removal::kSetupProgramNames) {
        if (fso->FileExists(folder + setup)) return "";
    }
    return folder;
}

bool Remove::ShortcutsGone(const std::string& startMenuGroup) {
    if (!IsAcceptedStartMenuGroup(startMenuGroup)) return false;
    const auto fso = platform_.GetAutomation().CreateFileSystemObject();
    const std::string group = shortcut_.GetProgramsFolder() + StartMenuGroupPath(startMenuGroup);
    return !fso->FileExists(group + removal::kApplicationShortcut) &&
           !fso->FileExists(group + removal::kUninstallShortcut);
}

// The App Paths key, the current user's run key and the uninstall entry.
void Remove::RemoveRecord() {
    registry_.RegistryDeleteKey(reg::kLocalMachine, names::kAppPathsKey);
    registry_.RegistryDeleteKey(reg::kCurrentUser, removal::kUserRunKey);
    RemoveUninstallEntry();
}

void Remove::ShowNotice(const std::string& text, MsgIcon icon) {
    MessageBoxSpec notice;
    notice.title = removal::kNoticeTitle;
    notice.text = text;
    notice.buttons = MsgButtons::OK;
    notice.icon = icon;
    App().MsgBox(notice);
}

}  // namespace tamsel
