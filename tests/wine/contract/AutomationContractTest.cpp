// The automation layer against the real "Scripting.FileSystemObject" and "WScript.Shell"
// (under Wine): error numbers, collections, text files and shortcut files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/Platform.h"
#include "platform/RuntimeError.h"
#include "platform/win32/ComObjects.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel {
namespace {

std::int32_t ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        EXPECT_FALSE(error.Description().empty());
        return error.Number();
    }
    return 0;
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[4096];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

class AutomationContract : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = platform_->GetSystem().EnvironmentVariable("TEMP") + "\\tamsel-contract";
        fso_ = platform_->GetAutomation().CreateFileSystemObject();
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
        fso_->CreateFolder(root_);
    }
    void TearDown() override {
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
    }

    std::unique_ptr<Platform> platform_ = OpenPlatform();
    std::unique_ptr<FileSystemObject> fso_;
    std::string root_;
};

TEST_F(AutomationContract, FileSystemObjectRaisesTheNumbersScriptsSee) {
    FileSystemObject& fso = *fso_;
    EXPECT_EQ(err::kFileAlreadyExists, ErrorNumberOf([&] { fso.CreateFolder(root_); }));
    EXPECT_EQ(err::kPathNotFound, ErrorNumberOf([&] { fso.CreateFolder(root_ + "\\no\\such"); }));
    EXPECT_EQ(err::kFileNotFound,
              ErrorNumberOf([&] { fso.CopyFile(root_ + "\\missing", root_ + "\\copy", true); }));
    EXPECT_EQ(err::kFileNotFound, ErrorNumberOf([&] { fso.DeleteFile(root_ + "\\missing"); }));
    EXPECT_FALSE(fso.FileExists(root_ + "\\missing"));
    EXPECT_FALSE(fso.FolderExists(root_ + "\\missing"));
    EXPECT_FALSE(fso.FileExists(root_));  // a folder is no file

    // A read-only file goes only when forced.
    const std::string file = root_ + "\\readonly.txt";
    fso.CreateTextFile(file, true)->Close();
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(err::kPermissionDenied, ErrorNumberOf([&] { fso.DeleteFile(file); }));
    EXPECT_TRUE(fso.FileExists(file));
    fso.DeleteFile(file, true);
    EXPECT_FALSE(fso.FileExists(file));

    // The automation object of an unknown identifier cannot be created.
    EXPECT_EQ(err::kCannotCreateObject,
              ErrorNumberOf([] { win32::DispatchObject::Create("Tamsel.NoSuchObject"); }));
}

TEST_F(AutomationContract, FoldersListTheirEntriesAndTextFilesAreWrittenAsGiven) {
    FileSystemObject& fso = *fso_;
    fso.CreateFolder(root_ + "\\Games");
    fso.CreateFolder(root_ + "\\Accessories");
    auto stream = fso.CreateTextFile(root_ + "\\touninst.bat", true);
    stream->WriteLine("del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"");
    stream->Write("del %0");
    stream->Close();
    EXPECT_EQ("del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"\r\ndel %0",
              ReadFileBytes(root_ + "\\touninst.bat"));
    fso.CopyFile(root_ + "\\touninst.bat", root_ + "\\Games\\copy.bat", true);
    fso.CopyFile(root_ + "\\touninst.bat", root_ + "\\Games\\copy.bat", true);  // overwrites

    auto folder = fso.GetFolder(root_);
    std::vector<std::string> subfolders;
    for (const auto& item : folder->SubFolders()) subfolders.push_back(item.Name);
    std::sort(subfolders.begin(), subfolders.end());
    EXPECT_EQ((std::vector<std::string>{"Accessories", "Games"}), subfolders);
    const auto files = folder->Files();
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ("touninst.bat", files[0].Name);

    fso.DeleteFolder(root_ + "\\Games");
    EXPECT_FALSE(fso.FolderExists(root_ + "\\Games"));
    EXPECT_EQ(err::kPathNotFound, ErrorNumberOf([&] { fso.GetFolder(root_ + "\\Games"); }));
}

TEST_F(AutomationContract, BatchFilesNameEveryFolderInAFormOfTheOemCodePage) {
    const std::string accented = root_ + "\\Jos\xC3\xA9";  // "é" is in code page 437
    const std::string cyrillic = root_ + "\\\xD0\x9F\xD1\x80\xD0\xBE";
    fso_->CreateFolder(accented);
    fso_->CreateFolder(cyrillic);
    EXPECT_EQ(accented, fso_->BatchFilePath(accented));
    const std::string shortForm = fso_->BatchFilePath(cyrillic);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_TRUE(std::all_of(shortForm.begin(), shortForm.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << shortForm;
    EXPECT_TRUE(fso_->FolderExists(shortForm));
    EXPECT_EQ("", fso_->BatchFilePath(cyrillic + "\\missing"));

    const std::string batch = root_ + "\\b.bat";
    auto stream = fso_->CreateBatchFile(batch, true);
    stream->WriteLine("del \"" + accented + "\"");
    EXPECT_EQ(err::kInvalidProcedureCall, ErrorNumberOf([&] { stream->Write(cyrillic); }));
    stream->Close();
    stream.reset();
    const std::string expected = "del \"" + root_ + "\\Jos\x82\"\r\n";
    EXPECT_EQ(expected, ReadFileBytes(batch));
}

TEST_F(AutomationContract, ShellFindsTheStartMenuAndShortcutsHoldTheirWindowStyleAndHotKey) {
    auto shell = platform_->GetAutomation().CreateShell();
    const std::string startMenu = shell->SpecialFolder("StartMenu");
    wchar_t expected[MAX_PATH + 1] = {};
    ASSERT_EQ(S_OK,
              SHGetFolderPathW(nullptr, CSIDL_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, expected));
    EXPECT_EQ(win32::WideToUtf8(expected), startMenu);

    const std::string link = root_ + "\\Tamsel Orry.lnk";
    const std::string target = root_ + "\\TamselOrry.exe";
    fso_->CopyFile(platform_->GetSystem().ProgramFolder() + "\\win32_contract_tests.exe", target,
                   true);
    for (const char* hotKey : {"CTRL+SHIFT+F", ""}) {  // saving twice replaces the file
        auto shortcut = shell->CreateShortCut(link);
        shortcut->SetTargetPath(target);
        shortcut->SetWindowStyle(1);
        shortcut->SetHotKey(hotKey);
        shortcut->SetIconLocation(target);
        shortcut->SetDescription("Tamsel Orry");
        shortcut->SetWorkingDirectory(root_ + "\\");
        shortcut->Save();
        // The parity test compares every property with the sandbox's shortcuts; here, the two
        // that the shell link reads back even when the file lacks them (a ShowCommand of 0
        // reads as normal): ShowCommand at byte 60 of the header, HotKey at byte 64.
        const std::string bytes = ReadFileBytes(link);
        ASSERT_GT(bytes.size(), 66u);
        EXPECT_EQ(1, bytes[60]);
        EXPECT_EQ(*hotKey != '\0' ? 0x46 : 0, static_cast<unsigned char>(bytes[64]));
        EXPECT_EQ(*hotKey != '\0' ? 0x03 : 0, static_cast<unsigned char>(bytes[65]));
    }

    auto badHotKey = shell->CreateShortCut(root_ + "\\bad.lnk");
    badHotKey->SetHotKey("CTRL+NOSUCHKEY");
    EXPECT_EQ(err::kInvalidProcedureCall, ErrorNumberOf([&] { badHotKey->Save(); }));

    auto nowhere = shell->CreateShortCut(root_ + "\\no such folder\\x.lnk");
    nowhere->SetTargetPath(target);
    EXPECT_NE(0, ErrorNumberOf([&] { nowhere->Save(); }));
}

TEST_F(AutomationContract, SystemStartsProgramsAndKnowsItsOwnFolder) {
    System& system = platform_->GetSystem();
    EXPECT_FALSE(system.EnvironmentVariable("TEMP").empty());
    EXPECT_EQ("", system.EnvironmentVariable("TAMSEL_NO_SUCH_VARIABLE"));
    const std::string folder = system.ProgramFolder();
    EXPECT_TRUE(fso_->FileExists(folder + "\\win32_contract_tests.exe")) << folder;
    // A missing program in a folder with a space is reported as missing: the program planted
    // at the path's first word plus ".exe" is not started instead.
    const std::string start = root_ + "\\start";
    fso_->CreateFolder(start);
    fso_->CreateFolder(start + "\\no such");
    fso_->CopyFile("C:\\windows\\system32\\hostname.exe", start + "\\no.exe", true);
    EXPECT_EQ(err::kFileNotFound,
              ErrorNumberOf([&] { system.StartProcess(start + "\\no such\\missing.exe"); }));

    Volumes& volumes = platform_->GetVolumes();
    const auto drives = volumes.Drives();
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(),
                            [](const DriveInfo& d) { return d.letter == 'c' && d.ready; }));
    fso_->CreateFolder(root_ + "\\beta");
    fso_->CreateFolder(root_ + "\\Alpha");
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "start"}), volumes.SubDirectories(root_));
    EXPECT_TRUE(volumes.DirectoryExists(root_ + "\\Alpha"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\Gamma"));
    volumes.SetCurrentDirectory('c', root_ + "\\Alpha");
    EXPECT_EQ(root_ + "\\Alpha", volumes.CurrentDirectory('c'));
}

}  // namespace
}  // namespace tamsel
