// The automation objects ("Scripting.FileSystemObject", "WScript.Shell"), the folder identity,
// the system and the volumes, checked on both platforms with the same expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "contract/ContractPlatform.h"
#include "platform/RuntimeError.h"

namespace tamsel::test {
namespace {

std::int32_t NumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        EXPECT_FALSE(error.Description().empty());
        return error.Number();
    }
    return 0;
}

std::vector<std::string> Names(const std::vector<FileSystemItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.Name);
    return names;
}

class AutomationContract : public ::testing::Test {
  protected:
    void SetUp() override {
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
        fso_->CreateFolder(root_);
    }
    void TearDown() override {
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
    }
    std::string Bytes(const std::string& path) { return ContractFileBytes(*platform_, path); }
    void Write(const std::string& path, const std::string& text) {
        auto stream = fso_->CreateTextFile(path, true);
        stream->Write(text);
        stream->Close();
    }

    std::unique_ptr<Platform> platform_ = OpenContractPlatform();
    std::unique_ptr<FileSystemObject> fso_ = platform_->GetAutomation().CreateFileSystemObject();
    std::string root_ = platform_->GetSystem().EnvironmentVariable("TEMP") + "\\tamsel-contract";
};

TEST_F(AutomationContract, FileSystemObjectRaisesTheNumbersScriptsSee) {
    const std::string file = root_ + "\\a.txt";
    Write(file, "old");
    Write(root_ + "\\source.exe", "new");
    const std::string upper = root_ + "\\A.TXT";
    EXPECT_TRUE(fso_->FileExists(upper));
    EXPECT_TRUE(fso_->FolderExists(root_ + "\\"));
    EXPECT_FALSE(fso_->FileExists(root_));
    EXPECT_FALSE(fso_->FolderExists(file));
    EXPECT_FALSE(fso_->FileExists(root_ + "\\missing"));
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\missing"));
    struct Call {
        const char* what;
        std::function<void()> call;
        std::int32_t number;
    };
    const std::vector<Call> calls = {
        {"CreateFolder existing", [&] { fso_->CreateFolder(root_); }, err::kFileAlreadyExists},
        {"CreateFolder on a file", [&] { fso_->CreateFolder(upper); }, err::kFileAlreadyExists},
        {"CreateFolder no parent", [&] { fso_->CreateFolder(root_ + "\\no\\such"); },
         err::kPathNotFound},
        {"CopyFile no source", [&] { fso_->CopyFile(root_ + "\\missing", file, true); },
         err::kFileNotFound},
        {"CopyFile no folder", [&] { fso_->CopyFile(file, root_ + "\\no\\x", true); },
         err::kPathNotFound},
        {"CopyFile no overwrite", [&] { fso_->CopyFile(root_ + "\\source.exe", upper, false); },
         err::kFileAlreadyExists},
        {"DeleteFile missing", [&] { fso_->DeleteFile(root_ + "\\missing"); }, err::kFileNotFound},
        {"DeleteFile on a folder", [&] { fso_->DeleteFile(root_); }, err::kFileNotFound},
        {"CreateTextFile existing", [&] { fso_->CreateTextFile(upper, false); },
         err::kFileAlreadyExists},
        {"CreateTextFile no folder", [&] { fso_->CreateTextFile(root_ + "\\no\\x", true); },
         err::kPathNotFound},
    };
    for (const Call& call : calls) EXPECT_EQ(NumberOf(call.call), call.number) << call.what;
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\no"));

    // A read-only file is neither replaced nor deleted, unless the deletion is forced.
    SetContractReadOnly(*platform_, file, true);
    EXPECT_EQ(NumberOf([&] { fso_->CopyFile(root_ + "\\source.exe", file, true); }),
              err::kPermissionDenied);
    EXPECT_EQ(NumberOf([&] { fso_->CreateTextFile(file, true); }), err::kPermissionDenied);
    EXPECT_EQ(NumberOf([&] { fso_->DeleteFile(file); }), err::kPermissionDenied);
    EXPECT_EQ(NumberOf([&] { fso_->DeleteFolder(root_); }), err::kPermissionDenied);
    EXPECT_EQ(Bytes(file), "old");
    fso_->DeleteFile(file, true);
    EXPECT_FALSE(fso_->FileExists(file));
}

TEST_F(AutomationContract, FoldersListTheirEntriesAndTextFilesAreWrittenAsGiven) {
    for (const char* name : {"beta.txt", "Alpha.txt", "_under.txt", "ZETA.txt"}) {
        Write(root_ + "\\" + name, "");
    }
    for (const char* name : {"b", "C", "a"}) fso_->CreateFolder(root_ + "\\" + name);
    auto folder = fso_->GetFolder(root_);
    EXPECT_EQ(Names(folder->Files()),
              (std::vector<std::string>{"Alpha.txt", "beta.txt", "ZETA.txt", "_under.txt"}));
    EXPECT_EQ(Names(folder->SubFolders()), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(platform_->GetVolumes().SubDirectories(root_),
              (std::vector<std::string>{"a", "b", "C"}));

    const std::string batch = root_ + "\\touninst.bat";
    auto stream = fso_->CreateTextFile(batch, true);
    stream->WriteLine("del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"");
    stream->Write("del %0");
    stream->Close();
    const std::string text = "del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"\r\ndel %0";
    EXPECT_EQ(Bytes(batch), text);
    fso_->CopyFile(batch, root_ + "\\b\\copy.bat", true);
    Write(root_ + "\\b\\copy.bat", "old");
    fso_->CopyFile(batch, root_ + "\\b\\copy.bat", true);  // overwrites
    fso_->CopyFile(batch, root_ + "\\C\\", true);          // into the folder
    EXPECT_EQ(Bytes(root_ + "\\b\\copy.bat"), text);
    EXPECT_EQ(Bytes(root_ + "\\c\\touninst.bat"), text);
    fso_->CreateTextFile(batch, true)->Close();
    EXPECT_EQ(Bytes(batch), "");

    fso_->DeleteFolder(root_ + "\\B");
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\b"));
    EXPECT_EQ(NumberOf([&] { fso_->GetFolder(root_ + "\\b"); }), err::kPathNotFound);
}

TEST_F(AutomationContract, BatchFilesNameEveryFolderInAFormOfTheOemCodePage) {
    const std::string accented = root_ + "\\Jos\xC3\xA9";  // "é" is in code page 437
    const std::string cyrillic = root_ + "\\\xD0\x9F\xD1\x80\xD0\xBE";
    fso_->CreateFolder(accented);
    fso_->CreateFolder(cyrillic);
    Write(cyrillic + "\\uninstall.exe", "x");
    for (const std::string& same : {accented, std::string(""), root_ + "\\100%\\missing"}) {
        EXPECT_EQ(fso_->BatchFilePath(same), same);
    }
    const std::string shortForm = fso_->BatchFilePath(cyrillic);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_TRUE(std::all_of(shortForm.begin(), shortForm.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << shortForm;
    EXPECT_TRUE(fso_->FileExists(shortForm + "\\uninstall.exe")) << shortForm;
    EXPECT_EQ(fso_->BatchFilePath(cyrillic + "\\missing"), "");

    // The short form and the long name are one folder; files, missing folders and "" none.
    FolderIdentity& folders = platform_->GetFolderIdentity();
    const auto resolved = folders.Resolve(shortForm + "\\");
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->path, folders.Resolve(cyrillic)->path);
    EXPECT_TRUE(resolved->path.ends_with("\\\xD0\x9F\xD1\x80\xD0\xBE")) << resolved->path;
    EXPECT_FALSE(resolved->throughLink);
    EXPECT_EQ(folders.Resolve("c:\\")->path, "C:\\");
    for (const std::string& none :
         {cyrillic + "\\uninstall.exe", root_ + "\\missing", std::string()}) {
        EXPECT_FALSE(folders.Resolve(none)) << none;
    }

    const std::string batch = root_ + "\\b.bat";
    auto stream = fso_->CreateBatchFile(batch, true);
    stream->WriteLine("del \"" + accented + "\"");
    EXPECT_EQ(NumberOf([&] { stream->Write(cyrillic); }), err::kInvalidProcedureCall);
    stream->Write("rem");
    stream->Close();
    EXPECT_EQ(Bytes(batch), "del \"" + root_ + "\\Jos\x82\"\r\nrem");  // 0x82 is "é" in 437
}

// A row of shortcut properties and what the file's header says of them: the icon index at
// byte 56, the ShowCommand at byte 60 and the HotKey word at byte 64.
struct ShortcutRow {
    const char* hotKey;
    std::uint16_t hotKeyWord;
    std::int16_t windowStyle;
    const char* iconSuffix;
    std::int32_t iconIndex;
};

TEST_F(AutomationContract, ShortcutsHoldTheirHotKeyWindowStyleAndIconIndex) {
    auto shell = platform_->GetAutomation().CreateShell();
    const std::string startMenu = shell->SpecialFolder("StartMenu");
    EXPECT_TRUE(fso_->FolderExists(startMenu + "\\Programs")) << startMenu;

    const std::string link = root_ + "\\Tamsel Orry.lnk";
    const std::string target = root_ + "\\TamselOrry.exe";
    Write(target, "MZ");
    const ShortcutRow rows[] = {
        {"CTRL+SHIFT+F", 0x0346, 1, ",2", 2}, {"shift + ctrl + f", 0x0346, 3, ", -3", -3},
        {"Alt+Ctrl+F12", 0x067B, 7, "", 0},   {"CTRL+ALT+9", 0x0639, 1, ",x", 0},
        {"Ctrl+Home", 0x0224, 1, "", 0},      {"", 0, 1, "", 0},
    };
    for (const ShortcutRow& row : rows) {  // each save replaces the file
        SCOPED_TRACE(row.hotKey);
        auto shortcut = shell->CreateShortCut(link);
        shortcut->SetTargetPath(target);
        shortcut->SetWindowStyle(row.windowStyle);
        shortcut->SetHotKey(row.hotKey);
        shortcut->SetIconLocation(target + row.iconSuffix);
        shortcut->SetDescription("Tamsel Orry");
        shortcut->SetWorkingDirectory(root_ + "\\");
        shortcut->Save();
        const std::string bytes = Bytes(link);
        ASSERT_GT(bytes.size(), 66u);
        std::int32_t iconIndex = 0;
        std::memcpy(&iconIndex, bytes.data() + 56, 4);
        EXPECT_EQ(iconIndex, row.iconIndex);
        EXPECT_EQ(bytes[60], row.windowStyle);
        EXPECT_EQ(static_cast<unsigned char>(bytes[64]), row.hotKeyWord & 0xFF);
        EXPECT_EQ(static_cast<unsigned char>(bytes[65]), row.hotKeyWord >> 8);
    }
    for (const char* bad : {"CTRL+", "CTRL+NOSUCHKEY", "HYPER+F", "CTRL+F25", "CTRL+AB", "+"}) {
        auto shortcut = shell->CreateShortCut(root_ + "\\bad.lnk");
        shortcut->SetTargetPath(target);
        const auto number = NumberOf([&] {  // raised when it is set, or at the latest when saved
            shortcut->SetHotKey(bad);
            shortcut->Save();
        });
        EXPECT_EQ(number, err::kInvalidProcedureCall) << bad;
    }

    auto nowhere = shell->CreateShortCut(root_ + "\\no such folder\\x.lnk");
    nowhere->SetTargetPath(target);
    const std::int32_t number = NumberOf([&] { nowhere->Save(); });
    EXPECT_NE(number, 0);
    if (!ContractPlatformIsWine()) {
        EXPECT_EQ(number, err::kPathNotFound);
    }
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\no such folder"));
}

TEST_F(AutomationContract, SystemStartsProgramsAndKnowsItsOwnFolder) {
    System& system = platform_->GetSystem();
    EXPECT_EQ(system.EnvironmentVariable("TAMSEL_NO_SUCH_VARIABLE"), "");
    const std::string folder = system.ProgramFolder();
    EXPECT_TRUE(fso_->FolderExists(folder)) << folder;
    EXPECT_FALSE(folder.ends_with("\\")) << folder;
    // A missing program in a folder with a space is reported as missing: the file at the
    // path's first word plus ".exe" is not started instead.
    fso_->CreateFolder(root_ + "\\no such");
    Write(root_ + "\\no.exe", "MZ");
    EXPECT_EQ(NumberOf([&] { system.StartProcess(root_ + "\\no such\\missing.exe"); }),
              err::kFileNotFound);

    Volumes& volumes = platform_->GetVolumes();
    const auto drives = volumes.Drives();
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(),
                            [](const DriveInfo& d) { return d.letter == 'c' && d.ready; }));
    EXPECT_TRUE(volumes.DirectoryExists(root_ + "\\No such"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\no.exe"));
    EXPECT_FALSE(volumes.DirectoryExists(root_ + "\\Gamma"));
    volumes.SetCurrentDirectory('c', root_ + "\\no such");
    EXPECT_EQ(volumes.CurrentDirectory('c'), root_ + "\\no such");
}

}  // namespace
}  // namespace tamsel::test
