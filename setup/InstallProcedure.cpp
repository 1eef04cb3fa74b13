#include "common/ProgramNames.h"
#include "common/StartMenuGroupName.h"
#include "common/TextSplit.h"
#include "common/ui/Application.h"
#include "common/ui/MessageBox.h"
#include "platform/RuntimeError.h"
#include "setup/Installer.h"

// The installation that "&Install" runs. Nothing here is trapped: the first file-system,
// shortcut or process step that fails ends Setup with a report of the failure, and what was
// done before it stays. A failing registry write is silent (RegistryAccess).
namespace tamsel {

namespace {

constexpr const char* kInstallFileNames = "uninstall.exe,TamselOrry.exe";

}  // namespace

void Installer::OKBTN_Click() {
    CheckStartMenuGroup();
    InstallFiles = SplitText(kInstallFileNames, ',');
    CreateInstallDirectory();
    CancelPendingRemoval();
    for (const std::string& fileName : InstallFiles) {
        if (!fileName.empty()) InstallFile(fileName);
    }
    if (!AlreadyInstalled) WriteUninstallEntry();
    WriteAppPaths();
    CreateStartMenuEntry();
    caption = "Finished Installing Tamsel Orry!";
    OfferToRun();
    OKBTN.enabled = false;
    CancelBTN_Click();
}

// The group is checked before anything is changed: a name that would put the shortcuts
// outside the Programs folder, or into a folder other than the one named, ends Setup with 52
// and nothing written.
void Installer::CheckStartMenuGroup() {
    if (!IsAcceptedStartMenuGroup(StartMenuGroup.caption)) {
        throw RuntimeError::FromNumber(err::kBadFileName);
    }
}

void Installer::CreateInstallDirectory() {
    auto fileSystem = platform_.GetAutomation().CreateFileSystemObject();
    const std::string& directory = InstallDirectory.caption;
    // An existing directory is used as it is; only one level is created.
    FolderCreated = false;
    if (fileSystem->FolderExists(directory)) return;
    fileSystem->CreateFolder(directory);
    // A folder made through a link lies somewhere the user named otherwise: it does not count
    // as one Setup made.
    const auto resolved = platform_.GetFolderIdentity().Resolve(directory);
    FolderCreated = resolved.has_value() && !resolved->throughLink;
}

void Installer::InstallFile(const std::string& fileName) {
    auto fileSystem = platform_.GetAutomation().CreateFileSystemObject();
    std::string source = platform_.GetSystem().ProgramFolder();
    if (source.empty() || source.back() != '\\') source += '\\';  // a drive root has its "\"
    fileSystem->CopyFile(source + fileName, InstallDirectory.caption + fileName, true);
}

void Installer::WriteUninstallEntry() {
    const std::string& directory = InstallDirectory.caption;
    registry_.RegistryCreateNewKey(reg::kLocalMachine, names::kUninstallKey);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kUninstallKey, "ApplicationName",
                                  names::kApplicationExe, reg::kSz);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kUninstallKey, "AppToUninstall",
                                  names::kApplicationExe, reg::kSz);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kUninstallKey, "DisplayName",
                                  names::kApplicationName, reg::kSz);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kUninstallKey, "UninstallString",
                                  directory + names::kUninstallerExe, reg::kSz);
    registry_.RegistrySetKeyValue(
        reg::kLocalMachine, names::kUninstallKey, names::kFolderCreatedValue,
        FolderCreated ? names::kFolderCreated : names::kFolderExisted, reg::kSz);
}

void Installer::WriteAppPaths() {
    const Variant current =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kAppPathsKey, "");
    if (current == "") registry_.RegistryCreateNewKey(reg::kLocalMachine, names::kAppPathsKey);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kAppPathsKey, "",
                                  InstallDirectory.caption + names::kApplicationExe, reg::kSz);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kAppPathsKey, "Path",
                                  InstallDirectory.caption, reg::kSz);
}

void Installer::CreateStartMenuEntry() {
    auto fileSystem = platform_.GetAutomation().CreateFileSystemObject();
    const std::string group = StartMenuGroup.caption;
    const std::string groupFolder = shortcut_.GetProgramsFolder() + group;
    if (!fileSystem->FolderExists(groupFolder)) fileSystem->CreateFolder(groupFolder);

    const std::string& directory = InstallDirectory.caption;
    const std::string application = directory + names::kApplicationExe;
    shortcut_.MakeShortcut(group + "\\Tamsel Orry", application, "", application, "Tamsel Orry",
                           directory);
    // The uninstaller was copied as "uninstall.exe"; file names are compared without regard
    // to case, so this names the same file.
    const std::string uninstaller = directory + "Uninstall.exe";
    shortcut_.MakeShortcut(group + "\\Uninstall Tamsel Orry", uninstaller, "", uninstaller,
                           "Uninstall Tamsel Orry", directory);
    registry_.RegistrySetKeyValue(reg::kLocalMachine, names::kAppPathsKey, "StartMenuGroup", group,
                                  reg::kSz);
}

void Installer::OfferToRun() {
    MessageBoxSpec request;
    request.title = "Tamsel Orry Setup Completed!";
    request.text = "Tamsel Orry Setup has finished.\r\nDo you want to run Tamsel Orry now?";
    request.buttons = MsgButtons::YesNo;
    request.icon = MsgIcon::None;
    request.defaultButton = 1;
    if (App().MsgBox(request) != MsgResult::Yes) return;
    // The whole path is the command line, unquoted and without arguments.
    App().StartProcess(platform_.GetSystem(), InstallDirectory.caption + names::kApplicationExe);
}

}  // namespace tamsel
