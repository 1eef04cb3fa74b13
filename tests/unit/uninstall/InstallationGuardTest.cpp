#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "common/RuntimeError.h"
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

// Answers FolderExists and FileExists from two lists of paths (compared exactly).
class ListedFileSystem : public FileSystemObject {
  public:
    std::set<std::string> folders;
    std::set<std::string> files;

    bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    void CreateFolder(const std::string&) override { Unexpected(); }
    void CopyFile(const std::string&, const std::string&, bool) override { Unexpected(); }
    std::unique_ptr<Folder> GetFolder(const std::string&) override { Unexpected(); }
    void DeleteFile(const std::string&, bool) override { Unexpected(); }
    void DeleteFolder(const std::string&, bool) override { Unexpected(); }
    std::unique_ptr<TextStream> CreateTextFile(const std::string&, bool) override { Unexpected(); }
    std::string BatchFilePath(const std::string&) override { Unexpected(); }
    std::unique_ptr<TextStream> CreateBatchFile(const std::string&, bool) override { Unexpected(); }

  private:
    [[noreturn]] static void Unexpected() {
        throw RuntimeError::FromNumber(err::kPermissionDenied);
    }
};

const char* const kPrograms =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

ProtectedFolders MachineFolders() {
    FakeSystem system;
    return CollectProtectedFolders(system, kPrograms);
}

TEST(InstallationGuard, OnlyAnOrdinaryFolderBelowADriveRootIsRemovable) {
    const auto folders = MachineFolders();
    for (const std::string path :
         {"C:\\Program Files\\Tamsel Orry\\", "C:\\Program Files\\Tamsel Orry",
          "D:\\Apps\\Tamsel Orry\\", "C:\\Users\\User\\Documents\\Tools\\Tamsel Orry\\",
          "E:\\100% & more\\", "C:\\Program Files (x86)\\Vendor\\Tamsel Orry\\",
          "c:/program files/tamsel orry/"}) {
        EXPECT_TRUE(IsRemovableFolderPath(path, folders)) << path;
    }
    // Not a folder below a drive root.
    for (const std::string& path : std::vector<std::string>{"C:",
                                                            "C:\\",
                                                            "C:\\\\",
                                                            "c:/",
                                                            "D:\\.\\",
                                                            "Tamsel Orry\\",
                                                            "\\Tamsel Orry\\",
                                                            "C:Tamsel Orry\\",
                                                            "\\\\server\\share\\Tamsel\\",
                                                            "\\\\?\\C:\\Tamsel Orry\\",
                                                            "1:\\Tamsel\\",
                                                            "C:\\Tamsel Orry\\..\\",
                                                            "C:\\Program Files\\..\\Windows\\",
                                                            "C:\\Tamsel\\...\\",
                                                            "C:\\ \\",
                                                            "C:\\Tamsel*\\",
                                                            "C:\\Tamsel?\\",
                                                            "C:\\Tamsel\"x\\",
                                                            "C:\\a:b\\",
                                                            "C:\\Tamsel\r\nrmdir C:\\",
                                                            ""}) {
        EXPECT_FALSE(IsRemovableFolderPath(path, folders)) << path;
    }
    // The system's and the user's folders, and what holds them.
    for (const std::string& path : std::vector<std::string>{
             "C:\\Windows\\", "c:\\WINDOWS", "C:/Windows/", "C:\\Windows.\\", "C:\\Windows \\",
             "C:\\Windows\\System32\\", "C:\\Program Files\\", "C:\\Program Files (x86)",
             "C:\\ProgramData\\", "C:\\Users\\", "C:\\Users\\User\\",
             "C:\\Users\\User\\Documents\\", "C:\\Users\\User\\Desktop",
             "C:\\Users\\User\\AppData\\Roaming\\", kPrograms,
             "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\",
             std::string(kPrograms) + "Tamsel Orry\\", "D:\\Temp\\", "D:\\"}) {
        EXPECT_FALSE(IsRemovableFolderPath(path, folders)) << path;
    }
}

TEST(InstallationGuard, AnExistingFolderMustHoldTheApplicationOrItsUninstaller) {
    const auto folders = MachineFolders();
    ListedFileSystem fso;
    fso.folders = {"C:\\Program Files\\Tamsel Orry", "D:\\Projects", "D:\\Only App"};
    fso.files = {"C:\\Program Files\\Tamsel Orry\\uninstall.exe", "D:\\Only App\\TamselOrry.exe"};

    EXPECT_TRUE(IsRemovableInstallationFolder("C:\\Program Files\\Tamsel Orry\\", folders, fso));
    EXPECT_TRUE(IsRemovableInstallationFolder("D:\\Only App\\", folders, fso));
    EXPECT_FALSE(IsRemovableInstallationFolder("D:\\Projects\\", folders, fso));
    // A folder that is gone already has nothing left to lose.
    EXPECT_TRUE(IsRemovableInstallationFolder("D:\\Gone\\", folders, fso));
    // The shape is checked before anything is looked at.
    fso.folders.insert("C:\\Windows");
    fso.files.insert("C:\\Windows\\uninstall.exe");
    EXPECT_FALSE(IsRemovableInstallationFolder("C:\\Windows\\", folders, fso));
}

TEST(InstallationGuard, StartMenuGroupMustStayInsideThePrograms) {
    for (const char* group :
         {"", "Tamsel Orry", "Games\\Tamsel Orry", "Tamsel Orry\\", "100% & Co", "Tamsel.Orry"}) {
        EXPECT_TRUE(IsStartMenuGroupInsidePrograms(group)) << group;
    }
    for (const char* group : {"..", "..\\..\\Desktop", "Tamsel\\..\\..", "Games/../..", ".", "...",
                              "   ", "\\Tamsel", "/Tamsel", "C:\\Tamsel", "C:Tamsel",
                              "Games\\\\Tamsel", "Tamsel|Orry", "Tamsel*", "\\\\server\\share"}) {
        EXPECT_FALSE(IsStartMenuGroupInsidePrograms(group)) << group;
    }
}

}  // namespace
}  // namespace tamsel::removal
