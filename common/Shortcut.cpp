#include "common/Shortcut.h"

#include <memory>

namespace tamsel {

namespace {
constexpr std::int16_t kNormalWindow = 1;
}  // namespace

Shortcut::Shortcut(Automation& automation) : automation_(automation) {}

std::string Shortcut::GetProgramsFolder() {
    const std::unique_ptr<ShellObject> shell = automation_.CreateShell();
    return shell->SpecialFolder("StartMenu") + "\\Programs\\";
}

void Shortcut::MakeShortcut(const std::string& shortcutName, const std::string& targetPath,
                            const std::string& hotKey, const std::string& iconLocation,
                            const std::string& description, const std::string& workingDirectory) {
    // Declared in this order so that, on every way out, the shortcut object is released
    // before the shell object that made it.
    std::unique_ptr<ShellObject> shell = automation_.CreateShell();
    const std::string path = GetProgramsFolder() + shortcutName + ".lnk";
    std::unique_ptr<ShellShortcut> shortcut = shell->CreateShortCut(path);

    shortcut->SetTargetPath(targetPath);
    shortcut->SetWindowStyle(kNormalWindow);
    shortcut->SetHotKey(hotKey);
    shortcut->SetIconLocation(iconLocation);
    shortcut->SetDescription(description);
    shortcut->SetWorkingDirectory(workingDirectory);
    shortcut->Save();

    shortcut.reset();
    shell.reset();
}

void Shortcut::DeleteShortcut(const std::string& fullPath) {
    const std::unique_ptr<FileSystemObject> files = automation_.CreateFileSystemObject();
    // No force: a read-only shortcut is refused and the refusal goes to the caller.
    if (files->FileExists(fullPath)) files->DeleteFile(fullPath, false);
}

}  // namespace tamsel
