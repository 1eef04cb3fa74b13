#include <algorithm>
#include <optional>

#include "common/ProgramNames.h"
#include "common/TextSplit.h"
#include "platform/WindowsPath.h"
#include "setup/Installer.h"

// A removal of an earlier installation may still wait for the next log-on: the uninstaller's
// batch file deletes "uninstall.exe" and removes the folder. When Setup installs into that same
// folder, the log-on would take the new uninstaller, so the waiting removal is cancelled.
namespace tamsel {

namespace {

// A path as text to compare when the folder cannot be resolved: "/" as "\", no trailing
// separator, without regard to case.
std::string ComparableText(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return LowerCase(WithoutTrailingSeparators(path));
}

// The text between the first and the last double quote, "" when there are not two.
std::string Quoted(const std::string& text) {
    const auto first = text.find('"');
    const auto last = text.rfind('"');
    if (first == std::string::npos || last == first) return "";
    return text.substr(first + 1, last - first - 1);
}

// The folder that the batch file's "rmdir" line names, as cmd reads it ("%%" is one "%").
std::optional<std::string> FolderRemovedBy(const std::string& batchText) {
    for (const std::string& line : SplitText(batchText, '\n')) {
        if (!LowerCase(line).starts_with("rmdir ")) continue;
        const std::string quoted = Quoted(line);
        std::string folder;
        for (std::size_t i = 0; i < quoted.size(); ++i) {
            folder += quoted[i];
            if (quoted[i] == '%' && i + 1 < quoted.size() && quoted[i + 1] == '%') ++i;
        }
        if (!folder.empty()) return folder;
    }
    return std::nullopt;
}

}  // namespace

void Installer::CancelPendingRemoval() {
    const std::string command =
        registry_.RegistryGetKeyValue(reg::kLocalMachine, names::kRunOnceKey, names::kRunOnceValue)
            .ToText();
    const std::string batchFile = Quoted(command);
    if (batchFile.empty()) return;

    auto fileSystem = platform_.GetAutomation().CreateFileSystemObject();
    if (!fileSystem->FileExists(batchFile)) return;
    const auto pending = FolderRemovedBy(fileSystem->ReadTextFile(batchFile));
    if (!pending) return;

    // The same folder, however it is spelled: both are resolved where they exist.
    FolderIdentity& folders = platform_.GetFolderIdentity();
    const auto target = folders.Resolve(InstallDirectory.caption);
    const auto removed = folders.Resolve(*pending);
    const bool same = target && removed
                          ? LowerCase(target->path) == LowerCase(removed->path)
                          : ComparableText(InstallDirectory.caption) == ComparableText(*pending);
    if (!same) return;

    // The batch file goes first: a "RunOnce" value whose file is gone does nothing at the
    // log-on, while a batch file without its value would stay in the temporary folder.
    fileSystem->DeleteFile(batchFile, true);
    registry_.RegistryDeleteValue(reg::kLocalMachine, names::kRunOnceKey, names::kRunOnceValue);
}

}  // namespace tamsel
