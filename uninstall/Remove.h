#pragma once

#include <string>
#include <vector>

#include "common/RegistryAccess.h"
#include "common/Shortcut.h"
#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "platform/Platform.h"

namespace tamsel {

// The uninstaller's only window: asks for confirmation and, on "Yes", removes the application's
// registry entries, its Start-menu group and its files, and leaves its own executable and the
// installation folder to a batch file that Windows runs once at the next log-on.
class Remove : public Form {
  public:
    Remove(Application& app, Platform& platform);

    Control OKButton;
    Control Label1;
    Control NoButton;

    // Deletes the file path + fileName (nothing is put between them) when it exists, read-only
    // or not.
    void DeleteFile(const std::string& path, const std::string& fileName);
    // Removes one trailing "\" from the caller's path, then deletes every file directly in that
    // folder except "uninstall.exe" (in any case). Subfolders are not visited. Only for a folder
    // Setup made itself.
    void DeleteFolderContents(std::string& path);
    // Removes one trailing "\" from the caller's path, then deletes the application's own file,
    // "TamselOrry.exe", from that folder: all that goes from a folder that held other files
    // before the installation ("uninstall.exe" is left to the batch file).
    void DeleteInstalledFiles(std::string& path);
    // Takes the application off the list of installed programs.
    void RemoveUninstallEntry();
    // Deletes the two shortcuts of the group, then the group folder with its menu-order key when
    // nothing else is left in it. A group that the group-name rule refuses is not touched.
    void RemoveStartMenuEntry(const std::string& startMenuGroup);
    // Writes the clean-up batch file into the temporary folder and registers it to run once at
    // the next log-on. path: the installation folder without a trailing "\".
    void MakeandRunBatch(const std::string& path);

    void NoButton_Click();
    void OKButton_Click();

  private:
    // The steps of the removal that decide what it works on.
    bool FolderMadeBySetup(const std::string& path, const Variant& recordedFlag,
                           const Variant& uninstallString);
    std::string FolderOfRunningUninstaller();
    bool ShortcutsGone(const std::string& startMenuGroup);
    void RemoveRecord();
    void ShowNotice(const std::string& text, MsgIcon icon);

    Platform& platform_;
    RegistryAccess registry_;
    Shortcut shortcut_;
};

}  // namespace tamsel
