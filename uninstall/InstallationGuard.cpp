#include "uninstall/InstallationGuard.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/WindowsPath.h"

namespace tamsel::removal {

namespace {

using Levels = std::vector<std::string>;

// Splits a relative path into its levels as Windows resolves them: "/" is a separator too,
// trailing dots and spaces of a level are dropped, and empty levels (doubled separators) and a
// trailing separator are skipped. Nothing when a level is only dots or spaces ("..") or holds a
// character that no name may hold.
std::optional<Levels> SplitLevels(const std::string& relative) {
    Levels levels;
    std::string level;
    auto finish = [&]() -> bool {
        if (level.empty()) return true;
        std::string trimmed = level;
        while (!trimmed.empty() && (trimmed.back() == '.' || trimmed.back() == ' ')) {
            trimmed.pop_back();
        }
        level.clear();
        if (trimmed.empty()) return false;
        levels.push_back(LowerCase(trimmed));
        return true;
    };
    for (char c : relative) {
        if (c == '\\' || c == '/') {
            if (!finish()) return std::nullopt;
        } else if (IsForbiddenInName(c)) {
            return std::nullopt;
        } else {
            level += c;
        }
    }
    if (!finish()) return std::nullopt;
    return levels;
}

// "X:\a\b" as {"x:", "a", "b"}; nothing for a path that does not start with a drive and a
// separator (relative, drive-relative "C:a", network "\\server\share", device "\\?\").
std::optional<Levels> AbsoluteLevels(const std::string& path) {
    if (!IsDriveAbsolute(path, true)) return std::nullopt;
    auto rest = SplitLevels(path.substr(3));
    if (!rest) return std::nullopt;
    Levels levels{LowerCase(path.substr(0, 2))};
    levels.insert(levels.end(), rest->begin(), rest->end());
    return levels;
}

// Whether `outer` is `inner` or a folder above it.
bool Contains(const Levels& outer, const Levels& inner) {
    return outer.size() <= inner.size() && std::equal(outer.begin(), outer.end(), inner.begin());
}

void AddJoined(std::vector<std::string>& list, const std::string& folder, const char* name) {
    if (!folder.empty()) list.push_back(folder + "\\" + name);
}

}  // namespace

ProtectedFolders CollectProtectedFolders(System& system, const std::string& programsFolder) {
    ProtectedFolders result;
    auto add = [&](std::vector<std::string>& list, const char* variable) {
        const std::string value = system.EnvironmentVariable(variable);
        if (!value.empty()) list.push_back(value);
    };

    add(result.withContents, "SystemRoot");
    add(result.withContents, "windir");
    for (const char* variable :
         {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
          "CommonProgramFiles(x86)", "CommonProgramW6432", "ProgramData", "ALLUSERSPROFILE",
          "PUBLIC", "USERPROFILE", "APPDATA", "LOCALAPPDATA", "TEMP", "TMP", "OneDrive"}) {
        add(result.withAncestors, variable);
    }
    const std::string homeDrive = system.EnvironmentVariable("HOMEDRIVE");
    const std::string homePath = system.EnvironmentVariable("HOMEPATH");
    if (!homeDrive.empty() && !homePath.empty())
        result.withAncestors.push_back(homeDrive + homePath);

    const std::string profile = system.EnvironmentVariable("USERPROFILE");
    for (const char* name :
         {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos", "Favorites",
          "Contacts", "Links", "Saved Games", "Searches", "AppData", "OneDrive"}) {
        AddJoined(result.withAncestors, profile, name);
    }

    std::string systemDrive = system.EnvironmentVariable("SystemDrive");
    if (systemDrive.empty()) systemDrive = "C:";
    AddJoined(result.withContents, systemDrive, "Windows");
    for (const char* name : {"Program Files", "Program Files (x86)", "ProgramData", "Users",
                             "Documents and Settings"}) {
        AddJoined(result.withAncestors, systemDrive, name);
    }

    // The Programs folder ends in "\Programs\"; the Start menu is the folder above it.
    if (auto programs = AbsoluteLevels(programsFolder); programs && programs->size() > 1) {
        std::string startMenu = WithoutTrailingSeparators(programsFolder);
        const auto cut = startMenu.find_last_of("\\/");
        if (cut != std::string::npos) startMenu.resize(cut);
        result.withContents.push_back(startMenu);
        result.withAncestors.push_back(startMenu);
    }
    return result;
}

bool IsAbsoluteFolderPath(const std::string& path) { return AbsoluteLevels(path).has_value(); }

bool IsTrustworthyFolder(const std::string& path, const ProtectedFolders& protectedFolders,
                         FolderIdentity& folders) {
    if (!IsAbsoluteFolderPath(path)) return false;
    const auto resolved = folders.Resolve(path);
    if (!resolved || resolved->throughLink) return false;
    const auto levels = AbsoluteLevels(resolved->path);
    if (!levels || levels->size() < 2) return false;  // a network path, or a drive root

    // Each protected folder as written and as it resolves: either form may be the one that
    // matches the installation folder's.
    auto forms = [&folders](const std::string& folder) {
        std::vector<Levels> result;
        if (auto written = AbsoluteLevels(folder)) result.push_back(*written);
        if (auto target = folders.Resolve(folder)) {
            if (auto real = AbsoluteLevels(target->path)) result.push_back(*real);
        }
        return result;
    };
    for (const auto& folder : protectedFolders.withAncestors) {
        for (const auto& other : forms(folder)) {
            if (Contains(*levels, other)) return false;
        }
    }
    for (const auto& folder : protectedFolders.withContents) {
        for (const auto& other : forms(folder)) {
            if (Contains(other, *levels)) return false;
        }
    }
    return true;
}

}  // namespace tamsel::removal
