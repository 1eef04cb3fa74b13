#include "platform/sandbox/DefaultRegistry.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::sandbox {

namespace {

using NamedTexts = std::vector<std::pair<std::string, std::string>>;

const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kUserCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

RegKey CreateKey(SqliteRegistry& registry, RegKey root, const std::string& path) {
    RegKey key = 0;
    RegStatus status = registry.CreateKeyEx(root, path, 0, nullptr, reg::kOptionNonVolatile,
                                            reg::kKeyAllAccess, &key, nullptr);
    if (status != reg::kSuccess) {
        throw std::runtime_error(registry.File().string() + ": cannot create key " + path +
                                 " (status " + std::to_string(status) + ")");
    }
    return key;
}

void MakeKey(SqliteRegistry& registry, RegKey root, const std::string& path) {
    registry.CloseKey(CreateKey(registry, root, path));
}

void WriteTexts(SqliteRegistry& registry, RegKey root, const std::string& path,
                const NamedTexts& texts, std::uint32_t type = reg::kSz) {
    RegKey key = CreateKey(registry, root, path);
    for (const auto& [name, text] : texts) {
        // Text values are stored with their terminating NUL, as the Win32 API writes them.
        RegStatus status = registry.SetValueEx(key, name, 0, type,
                                               reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                               static_cast<std::uint32_t>(text.size() + 1));
        if (status != reg::kSuccess) {
            registry.CloseKey(key);
            throw std::runtime_error(registry.File().string() + ": cannot write value " + name +
                                     " of " + path + " (status " + std::to_string(status) + ")");
        }
    }
    registry.CloseKey(key);
}

}  // namespace

void WriteDefaultRegistry(SqliteRegistry& registry) {
    const std::string profile = kUserProfile;
    const std::string systemRoot = kSystemRoot;
    const std::string startMenu = kStartMenu;
    const std::string programs = kPrograms;
    const std::string system32 = systemRoot + "\\system32";

    registry.RunInTransaction([&] {
        WriteTexts(registry, reg::kCurrentUser,
                   std::string(kUserCurrentVersion) + "\\Explorer\\Shell Folders",
                   {{"AppData", kAppData},
                    {"Desktop", kDesktop},
                    {"Local AppData", kLocalAppData},
                    {"Personal", kDocuments},
                    {"Programs", programs},
                    {"Start Menu", startMenu},
                    {"Startup", programs + "\\Startup"},
                    {"Templates", std::string(kAppData) + "\\Microsoft\\Windows\\Templates"}});
        WriteTexts(
            registry, reg::kCurrentUser,
            std::string(kUserCurrentVersion) + "\\Explorer\\User Shell Folders",
            {{"AppData", "%USERPROFILE%\\AppData\\Roaming"},
             {"Desktop", "%USERPROFILE%\\Desktop"},
             {"Local AppData", "%USERPROFILE%\\AppData\\Local"},
             {"Personal", "%USERPROFILE%\\Documents"},
             {"Programs",
              "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
             {"Start Menu", "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
             {"Startup",
              "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start "
              "Menu\\Programs\\Startup"}},
            reg::kExpandSz);
        MakeKey(registry, reg::kCurrentUser, std::string(kUserCurrentVersion) + "\\Run");
        MakeKey(registry, reg::kCurrentUser, std::string(kUserCurrentVersion) + "\\RunOnce");

        WriteTexts(registry, reg::kCurrentUser, kUserEnvironmentKey,
                   {{"APPDATA", kAppData},
                    {"HOMEDRIVE", "C:"},
                    {"HOMEPATH", profile.substr(2)},
                    {"LOCALAPPDATA", kLocalAppData},
                    {"TEMP", kTemp},
                    {"TMP", kTemp},
                    {"USERNAME", kUserName},
                    {"USERPROFILE", profile}});

        WriteTexts(registry, reg::kLocalMachine, kCurrentVersion,
                   {{"CommonFilesDir", std::string(kProgramFiles) + "\\Common Files"},
                    {"ProgramFilesDir", kProgramFiles}});
        for (const char* sub : {"App Paths", "Explorer", "Run", "RunOnce", "Uninstall"}) {
            MakeKey(registry, reg::kLocalMachine, std::string(kCurrentVersion) + "\\" + sub);
        }

        WriteTexts(registry, reg::kLocalMachine, kSystemEnvironmentKey,
                   {{"ComSpec", system32 + "\\cmd.exe"},
                    {"OS", "Windows_NT"},
                    {"PATH", system32 + ";" + systemRoot + ";" + system32 + "\\Wbem"},
                    {"PATHEXT", ".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC"},
                    {"ProgramFiles", kProgramFiles},
                    {"SystemDrive", "C:"},
                    {"SystemRoot", systemRoot},
                    {"TEMP", kSystemTemp},
                    {"TMP", kSystemTemp},
                    {"windir", systemRoot}});

        MakeKey(
            registry, reg::kUsers,
            ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
            "Menu\\&Programs\\Accessories");
    });
}

}  // namespace tamsel::sandbox
