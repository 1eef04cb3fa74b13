#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <optional>
#include <string>

#include "platform/FolderIdentity.h"
#include "uninstall/InstallationGuard.h"

namespace tamsel::removal {
namespace {

// The environment of a usual Windows machine.
class FakeSystem : public System {
  public:
    std::string EnvironmentVariable(const std::string& name) override {
        static const std::map<std::string, std::string> kEnvironment = {
            {"SystemRoot", "C:\\Windows"},
            {"SystemDrive", "C:"},
            {"ProgramFiles", "C:\\Program Files"},
            {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
            {"USERPROFILE", "C:\\Users\\User"},
            {"APPDATA", "C:\\Users\\User\\AppData\\Roaming"},
            {"LOCALAPPDATA", "C:\\Users\\User\\AppData\\Local"},
            {"TEMP", "D:\\Temp"},
        };
        const auto it = kEnvironment.find(name);
        return it == kEnvironment.end() ? std::string() : it->second;
    }
    std::string ProgramFolder() override { return "C:\\"; }
    void StartProcess(const std::string&) override {}
};

// Resolves the folders it lists: a path (compared without regard to case or a trailing "\")
// to the folder it names; every other path names no folder.
class ListedFolders : public FolderIdentity {
  public:
    std::map<std::string, ResolvedFolder> folders;

    std::optional<ResolvedFolder> Resolve(const std::string& path) override {
        std::string key;
        for (char c : path) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        while (key.size() > 3 && key.back() == '\\') key.pop_back();
        const auto it = folders.find(key);
        if (it == folders.end()) return std::nullopt;
        return it->second;
    }
};

const char* const kPrograms =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

ProtectedFolders MachineFolders() {
    FakeSystem system;
    return CollectProtectedFolders(system, kPrograms);
}

TEST(InstallationGuard, OnlyAbsolutePathsOfFoldersOnADriveNameAFolder) {
    for (const std::string path :
         {"C:\\", "c:/", "C:\\Program Files\\Tamsel Orry\\", "C:\\Program Files\\Tamsel Orry",
          "E:\\100% & more\\", "c:/program files/tamsel orry/", "C:\\Windows.\\"}) {
        EXPECT_TRUE(IsAbsoluteFolderPath(path)) << path;
    }
    for (const std::string& path : std::vector<std::string>{
             "C:", "", "D:\\.\\", "Tamsel Orry\\", "\\Tamsel Orry\\", "C:Tamsel Orry\\",
             "\\\\server\\share\\Tamsel\\", "\\\\?\\C:\\Tamsel Orry\\", "1:\\Tamsel\\",
             "C:\\Tamsel Orry\\..\\", "C:\\Program Files\\..\\Windows\\", "C:\\Tamsel\\...\\",
             "C:\\ \\", "C:\\Tamsel*\\", "C:\\Tamsel\"x\\", "C:\\a:b\\",
             "C:\\Tamsel\r\nrmdir C:\\"}) {
        EXPECT_FALSE(IsAbsoluteFolderPath(path)) << path;
    }
}

// The folders of a machine as they resolve: an 8.3 alias of a user folder, a link into the
// documents, a junction above an ordinary folder.
ListedFolders MachineLayout() {
    ListedFolders layout;
    auto add = [&layout](const std::string& path, const std::string& real, bool link = false) {
        std::string key;
        for (char c : path) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        layout.folders[key] = ResolvedFolder{real, link};
    };
    for (const char* real :
         {"C:\\", "D:\\", "C:\\Windows", "C:\\Windows\\System32", "C:\\Program Files",
          "C:\\Program Files\\Tamsel Orry", "C:\\Users", "C:\\Users\\User",
          "C:\\Users\\User\\Documents", "C:\\Users\\User\\Documents\\Tools",
          "D:\\Apps\\Tamsel Orry", "D:\\Temp", "E:\\", "E:\\My Own Folder"}) {
        add(real, real);
    }
    add("C:\\PROGRA~1\\TAMSEL~1", "C:\\Program Files\\Tamsel Orry");
    add("C:\\USERS\\USER~1", "C:\\Users\\User");
    add("D:\\MyDocs", "C:\\Users\\User\\Documents", true);
    add("D:\\Junction\\Tamsel Orry", "E:\\My Own Folder", true);
    add("E:\\MY_O~RJG", "E:\\My Own Folder");
    return layout;
}

TEST(InstallationGuard, OnlyAnOrdinaryFolderReachedWithoutALinkIsTrustworthy) {
    const auto protectedFolders = MachineFolders();
    ListedFolders layout = MachineLayout();
    for (const std::string path :
         {"C:\\Program Files\\Tamsel Orry\\", "c:\\progra~1\\tamsel~1\\", "D:\\Apps\\Tamsel Orry",
          "C:\\Users\\User\\Documents\\Tools\\", "E:\\MY_O~RJG\\"}) {
        EXPECT_TRUE(IsTrustworthyFolder(path, protectedFolders, layout)) << path;
    }
    for (const std::string& path : std::vector<std::string>{
             // missing, a drive root, not a folder path
             "D:\\Gone\\", "C:\\", "D:\\", "E:\\", "C:", "",
             // reached through a link or junction
             "D:\\MyDocs\\", "D:\\Junction\\Tamsel Orry\\",
             // system and user folders, and what holds them, by any of their names
             "C:\\Windows\\", "C:\\Windows\\System32", "C:\\Program Files\\", "C:\\Users\\",
             "C:\\Users\\User\\", "C:\\USERS\\USER~1\\", "C:\\Users\\User\\Documents\\",
             "D:\\Temp\\"}) {
        EXPECT_FALSE(IsTrustworthyFolder(path, protectedFolders, layout)) << path;
    }
}

}  // namespace
}  // namespace tamsel::removal
