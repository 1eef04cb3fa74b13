#include "setup/Installer.h"

#include "common/ProgramNames.h"
#include "common/ui/Application.h"
#include "common/ui/MessageBox.h"
#include "platform/RuntimeError.h"

namespace tamsel {

namespace {

// Where the current user's shell folders are recorded; the Start menu's path gives the drive
// that the target directory is proposed on.
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kStartMenuValue = "Start Menu";

constexpr const char* kInformationPage = "http://www.tamselorry.example/TamselOrry.asp";

// Runs one step of the load event: a step that fails is skipped without a message, so that
// the window still comes up with whatever was set before.
void SkipOnFailure(const std::function<void()>& step) {
    try {
        step();
    } catch (const RuntimeError&) {
    }
}

// Removes every occurrence of a text, left to right, without looking again at what the
// removal joins together.
std::string RemoveAll(const std::string& text, const std::string& what) {
    std::string result;
    std::size_t from = 0;
    for (auto found = text.find(what); found != std::string::npos; found = text.find(what, from)) {
        result.append(text, from, found - from);
        from = found + what.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

}  // namespace

void Installer::Installer_Load() {
    if (!ScriptingHostAvailable()) {
        MessageBoxSpec request;
        request.title = "Tamsel Orry Install";
        request.text = std::string("ERROR: Windows Scripting Host not found.\r\n") +
                       "Windows Scripting Host is required for this application.\r\n" + "Go to " +
                       kInformationPage + " for more information.";
        request.buttons = MsgButtons::OK;
        request.icon = MsgIcon::Exclamation;
        App().MsgBox(request);
        // The status says why Setup ended; the window is never shown.
        App().End(exit_status::kMissingPrerequisite);
        CancelBTN_Click();
        return;
    }
    SkipOnFailure([this] { RecogniseInstallation(); });
    SkipOnFailure([this] { ListStartMenuGroups(); });
    SkipOnFailure([this] {
        CancelBTN.enabled = true;
        OKBTN.enabled = true;
    });
}

bool Installer::ScriptingHostAvailable() {
    try {
        platform_.GetAutomation().CreateFileSystemObject();  // released at once: only a test
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

void Installer::RecogniseInstallation() {
    const Variant applicationName =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kUninstallKey, "ApplicationName");
    const Variant uninstallString =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kUninstallKey, "UninstallString");
    // A record without its "UninstallString" (an installation stopped between two registry
    // writes) names no folder: it is treated as no installation, and the new one writes the
    // whole entry.
    if (applicationName == names::kApplicationExe && uninstallString != "") {  // case-sensitive
        InstallDirectory.caption = RemoveAll(uninstallString.ToText(), names::kUninstallerExe);
        // An earlier installation is always updated where it is: ChangeDirBTN stays disabled.
        AlreadyInstalled = true;
        return;
    }
    SkipOnFailure([this] { ProposeDirectory(); });
    ChangeDirBTN.enabled = true;
    AlreadyInstalled = false;
}

void Installer::ProposeDirectory() {
    const std::string startMenu =
        registry_.RegistryGetKeyValue(reg::kCurrentUser, kShellFoldersKey, kStartMenuValue)
            .ToText();
    if (startMenu.empty()) return;  // keeps the C: default
    const std::string drive = startMenu.substr(0, startMenu.find(':'));
    InstallDirectory.caption = drive + ":\\Program Files\\Tamsel Orry\\";
}

void Installer::ListStartMenuGroups() {
    auto fileSystem = platform_.GetAutomation().CreateFileSystemObject();
    auto programs = fileSystem->GetFolder(shortcut_.GetProgramsFolder());
    for (const FileSystemItem& group : programs->SubFolders()) {
        StartMenuGroup.list.push_back(group.Name);
    }
}

void Installer::CancelBTN_Click() {
    Unload();
    // Ends Setup at once, also when the hidden directory chooser is still loaded.
    App().End(exit_status::kNormal);
}

void Installer::ChangeDirBTN_Click() {
    chooser_.Show();
    enabled = false;
}

}  // namespace tamsel
