#include "uninstall/Remove.h"

#include "common/ProgramNames.h"
#include "common/ui/Application.h"
#include "uninstall/InstallationGuard.h"
#include "uninstall/RemovalNames.h"

namespace tamsel {

void Remove::NoButton_Click() { Unload(); }

void Remove::OKButton_Click() {
    // 1. The application's start-up entry for all users.
    registry_.RegistryDeleteValue(reg::kLocalMachine, removal::kRunKey, removal::kRunValue);

    // 2-3. Where Setup put the files and the shortcuts. Both are read before their key goes.
    const Variant recordedPath =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kAppPathsKey, removal::kPathValue);
    const Variant recordedGroup = registry_.RegistryGetKeyValue(
        reg::kLocalMachine, names::kAppPathsKey, removal::kStartMenuGroupValue);
    std::string path = recordedPath.ToText();
    const std::string startMenuGroup = recordedGroup.ToText();

    // 4-5.
    registry_.RegistryDeleteKey(reg::kLocalMachine, names::kAppPathsKey);
    registry_.RegistryDeleteKey(reg::kCurrentUser, removal::kUserRunKey);

    // 6. A missing value means no group was recorded; an empty one means Setup put the two
    // shortcuts directly into the Programs folder.
    if (!recordedGroup.IsEmpty()) RemoveStartMenuEntry(startMenuGroup);

    // 7.
    RemoveUninstallEntry();

    // 8-9. Without a recorded folder there is nothing to empty and nothing to hand to the
    // batch file; a folder that is not plainly an installation of the application is left
    // alone, so that a damaged record never costs the user files.
    if (path.empty()) {
        ShowNotice(removal::kNotInstalledText, MsgIcon::Information);
        NoButton_Click();
        return;
    }
    {
        const auto fso = platform_.GetAutomation().CreateFileSystemObject();
        const auto protectedFolders =
            removal::CollectProtectedFolders(platform_.GetSystem(), shortcut_.GetProgramsFolder());
        if (!removal::IsRemovableInstallationFolder(path, protectedFolders, *fso)) {
            ShowNotice(std::string(removal::kFolderRefusedText) + "\r\n" + path + "\r\n" +
                           removal::kFolderRefusedTail,
                       MsgIcon::Exclamation);
            App().End(exit_status::kFailure);
            NoButton_Click();
            return;
        }
    }
    DeleteFolderContents(path);  // shortens path by its trailing "\"
    MakeandRunBatch(path);

    // 10.
    MessageBoxSpec completion;
    completion.title = removal::kCompletionTitle;
    completion.text = removal::kCompletionText;
    completion.buttons = MsgButtons::OK;
    completion.icon = MsgIcon::None;
    App().MsgBox(completion);

    // 11.
    NoButton_Click();
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
