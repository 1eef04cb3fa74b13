#include "uninstall/InstallationGuard.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "common/ProgramNames.h"

namespace tamsel::removal {

namespace {

using Levels = std::vector<std::string>;

bool IsForbiddenInName(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
           c == '*';
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

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
        levels.push_back(Lower(trimmed));
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
    if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
        (path[2] != '\\' && path[2] != '/')) {
        return std::nullopt;
    }
    auto rest = SplitLevels(path.substr(3));
    if (!rest) return std::nullopt;
    Levels levels{Lower(path.substr(0, 2))};
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
        std::string startMenu = programsFolder;
        while (!startMenu.empty() && (startMenu.back() == '\\' || startMenu.back() == '/')) {
            startMenu.pop_back();
        }
        const auto cut = startMenu.find_last_of("\\/");
        if (cut != std::string::npos) startMenu.resize(cut);
        result.withContents.push_back(startMenu);
        result.withAncestors.push_back(startMenu);
    }
    return result;
}

bool IsRemovableFolderPath(const std::string& path, const ProtectedFolders& protectedFolders) {
    const auto levels = AbsoluteLevels(path);
    if (!levels || levels->size() < 2) return false;  // not absolute, or a drive root
    for (const auto& folder : protectedFolders.withAncestors) {
        const auto other = AbsoluteLevels(folder);
        if (other && Contains(*levels, *other)) return false;
    }
    for (const auto& folder : protectedFolders.withContents) {
        const auto other = AbsoluteLevels(folder);
        if (other && Contains(*other, *levels)) return false;
    }
    return true;
}

bool IsRemovableInstallationFolder(const std::string& path,
                                   const ProtectedFolders& protectedFolders,
                                   FileSystemObject& fso) {
    if (!IsRemovableFolderPath(path, protectedFolders)) return false;
    std::string folder = path;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    // A folder that is already gone has nothing left to delete.
    if (!fso.FolderExists(folder)) return true;
    return fso.FileExists(folder + "\\" + names::kUninstallerExe) ||
           fso.FileExists(folder + "\\" + names::kApplicationExe);
}

bool IsStartMenuGroupInsidePrograms(const std::string& group) {
    if (group.empty()) return true;
    if (group.front() == '\\' || group.front() == '/') return false;
    // A doubled separator inside the name is refused; only trailing separators are skipped.
    std::string inner = group;
    while (!inner.empty() && (inner.back() == '\\' || inner.back() == '/')) inner.pop_back();
    for (std::size_t i = 1; i < inner.size(); ++i) {
        const bool separator = inner[i] == '\\' || inner[i] == '/';
        const bool previous = inner[i - 1] == '\\' || inner[i - 1] == '/';
        if (separator && previous) return false;
    }
    const auto levels = SplitLevels(inner);
    return levels.has_value() && !levels->empty();
}

}  // namespace tamsel::removal
