#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/RegistryAccess.h"
#include "common/Shortcut.h"
#include "common/ui/Control.h"
#include "common/ui/Form.h"
#include "platform/Platform.h"
#include "setup/ChooseDirFRM.h"

namespace tamsel {

// The window of Setup. Its load event checks the prerequisite, recognises an earlier
// installation, proposes the target directory and lists the Start-menu groups; its buttons
// end Setup, open the directory chooser or run the installation.
class Installer : public Form {
  public:
    Installer(Application& app, Platform& platform);

    // The form's events go to its handlers, which are named after the control (or form) and
    // the event: Installer_Load, ChangeDirBTN_Click. The close box ends Setup as "E&xit" does,
    // the hidden directory chooser included.
    void OnLoad() override { Installer_Load(); }
    void OnCloseBox() override { CancelBTN_Click(); }

    // Controls, in tab order. The caption of InstallDirectory is the target directory.
    Control Label3;
    Control InstallDirectory;
    Control ChangeDirBTN;
    Control OKBTN;
    Control CancelBTN;
    Control StartMenuGroup;
    Control Label2;
    Control ProgressBar;

    // True when the load event found an earlier installation: it is updated in its recorded
    // directory and its uninstall entry is left as it is.
    bool AlreadyInstalled = false;
    // True when the installation made its directory itself (and not through a link): recorded
    // so that the uninstaller knows whether every file in it belongs to the installation.
    bool FolderCreated = false;
    // The files that an installation copies, built afresh by each installation.
    std::vector<std::string> InstallFiles;

    ChooseDirFRM& DirectoryChooser() { return chooser_; }

  private:
    // Handlers.
    void Installer_Load();
    void CancelBTN_Click();
    void ChangeDirBTN_Click();
    void OKBTN_Click();

    // Steps of the load event.
    bool ScriptingHostAvailable();
    void RecogniseInstallation();
    void ProposeDirectory();
    void ListStartMenuGroups();

    // Steps of the installation.
    void CheckStartMenuGroup();
    void CreateInstallDirectory();
    void CancelPendingRemoval();
    void InstallFile(const std::string& fileName);
    void WriteUninstallEntry();
    void WriteAppPaths();
    void CreateStartMenuEntry();
    void OfferToRun();

    Platform& platform_;
    RegistryAccess registry_;
    Shortcut shortcut_;
    ChooseDirFRM chooser_;
};

}  // namespace tamsel
