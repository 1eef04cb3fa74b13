// "Scripting.FileSystemObject" and the folder identity, checked on both platforms with the same
// expectations: Windows' answers, which the sandbox must give too.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "contract/ContractPlatform.h"

namespace tamsel::test {
namespace {

std::vector<std::string> Names(const std::vector<FileSystemItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.Name);
    return names;
}

class FileSystemObjectContract : public ContractTest {
  protected:
    void SetUp() override {
        ContractTest::SetUp();
        fso_->CreateFolder(root_ + "\\Sub");
        Write(root_ + "\\Sub\\inner.txt", "");
        Write(root_ + "\\file.txt", "old");
    }
};

TEST_F(FileSystemObjectContract, EveryMemberRaisesWindowsNumbersForOddPaths) {
    // A member called with a path (relative to the test's folder when it starts with "\"; as
    // written otherwise) and the error number it raises (0: none).
    const std::tuple<std::string, const char*, std::int32_t> calls[] = {
        {"CreateFolder", "", err::kPathNotFound},
        {"CopyFile", "", err::kInvalidProcedureCall},
        {"DeleteFolder", "\\Missing", err::kFileNotFound},
        {"DeleteFolder", "\\Missing\\Deeper", err::kPathNotFound},
        {"DeleteFile", "\\Missing\\x.txt", err::kPathNotFound},
        {"GetFolder", "\\file.txt", err::kPathNotFound},
        {"CopyFile", "\\Missing\\x.txt", err::kPathNotFound},
        {"CopyFileTo", "\\Missing\\x.txt", err::kPathNotFound},
        {"CopyFileTo", "\\SUB\\INNER.TXT", err::kFileAlreadyExists},
        {"DeleteFile", "tamsel-no-such-file.txt", err::kFileNotFound},
        {"CreateFolder", "\\bad|name", err::kBadFileName},
        {"CreateFolder", "\\SUB ", err::kFileAlreadyExists},
        {"CreateBatchFile", "\\Sub \\new.txt", err::kPathNotFound},
        {"DeleteFile", "\\file.txt\\", err::kFileNotFound},
        {"DeleteFolder", "\\Sub\\", err::kFileNotFound},
    };
    for (const auto& [member, written, expected] : calls) {
        const std::string path = written[0] == '\\' ? root_ + written : written;
        const std::int32_t number = ErrorOf([&] {
            if (member == "CreateFolder") fso_->CreateFolder(path);
            if (member == "GetFolder") fso_->GetFolder(path);
            if (member == "DeleteFolder") fso_->DeleteFolder(path);
            if (member == "DeleteFile") fso_->DeleteFile(path);
            if (member == "CopyFile") fso_->CopyFile(path, root_ + "\\copy.txt", true);
            if (member == "CopyFileTo") fso_->CopyFile(root_ + "\\file.txt", path, false);
            if (member == "CreateBatchFile") fso_->CreateBatchFile(path)->Close();
        });
        EXPECT_EQ(number, expected) << member << "(\"" << written << "\")";
    }
    // Wine's DeleteFile of a folder's name does nothing and raises nothing.
    if (!ContractPlatformIsWine()) {
        EXPECT_EQ(ErrorOf([&] { fso_->DeleteFile(root_ + "\\Sub"); }), err::kFileNotFound);
    }
    EXPECT_TRUE(fso_->FileExists(root_ + "\\Sub\\inner.txt"));
    EXPECT_EQ(Bytes(root_ + "\\file.txt"), "old");
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\Missing") || fso_->FileExists(root_ + "\\copy.txt"));
}

TEST_F(FileSystemObjectContract, OnlyTheLastLevelLosesATrailingBlankOrDot) {
    for (const char* folder : {"\\Sub\\", "\\SUB", "\\Sub.", "\\Sub ", "\\Sub. . ", ""}) {
        EXPECT_TRUE(fso_->FolderExists(root_ + folder)) << folder;
        EXPECT_FALSE(fso_->FileExists(root_ + folder)) << folder;
    }
    for (const char* file : {"\\file.txt.", "\\FILE.TXT", "\\Sub\\inner.txt "}) {
        EXPECT_TRUE(fso_->FileExists(root_ + file)) << file;
        EXPECT_FALSE(fso_->FolderExists(root_ + file)) << file;
    }
    for (const char* none : {"\\Sub \\", "\\Sub \\inner.txt", "\\file.txt\\", "\\Missing"}) {
        EXPECT_FALSE(fso_->FolderExists(root_ + none) || fso_->FileExists(root_ + none)) << none;
    }
    EXPECT_FALSE(fso_->FolderExists("") || fso_->FileExists(""));
    // A level that ends in a dot, not last: Windows keeps the dot (its path normalization trims
    // the end of the whole path only) and finds no such folder. Wine drops the dot there too.
    if (!ContractPlatformIsWine()) {
        EXPECT_FALSE(fso_->FolderExists(root_ + "\\Sub.\\") ||
                     fso_->FileExists(root_ + "\\Sub.\\inner.txt"));
        EXPECT_EQ(ErrorOf([&] { fso_->CreateFolder(root_ + "\\Sub.\\Child"); }),
                  err::kPathNotFound);
    }

    // A new folder is named without its trailing dots and blanks.
    fso_->CreateFolder(root_ + "\\Group. ");
    EXPECT_EQ(Names(fso_->GetFolder(root_ + "\\")->SubFolders()),
              (std::vector<std::string>{"Group", "Sub"}));
}

TEST_F(FileSystemObjectContract, AReadOnlyFileOrOneInUseIsKept) {
    const std::string file = root_ + "\\file.txt";
    for (const bool inUse : {false, true}) {
        SCOPED_TRACE(inUse ? "in use" : "read-only");
        Write(root_ + "\\source.txt", "new");  // each deletion below may take it
        ProtectContractFile(*platform_, file, inUse, true);
        // Wine replaces a read-only file by a copy or a new file, where Windows refuses both;
        // a file in use it refuses, but some of those refusals come as E_FAIL.
        const bool wine = ContractPlatformIsWine();
        const auto refused = [&](const char* what, const std::function<void()>& call) {
            const std::int32_t number = ErrorOf(call);
            EXPECT_TRUE(wine && inUse ? number != 0 : number == err::kPermissionDenied)
                << what << " raised " << number;
        };
        if (inUse || !wine) {
            refused("CopyFile", [&] { fso_->CopyFile(root_ + "\\source.txt", file, true); });
            refused("CreateBatchFile", [&] { fso_->CreateBatchFile(file); });
        }
        // A forced deletion takes a read-only file, never one in use.
        refused("DeleteFile", [&] { fso_->DeleteFile(file, inUse); });
        refused("DeleteFolder", [&] { fso_->DeleteFolder(root_, inUse); });
        ProtectContractFile(*platform_, file, inUse, false);
        if (inUse || !wine) {
            EXPECT_EQ(Bytes(file), "old");
        }
    }
    fso_->DeleteFile(file);
    EXPECT_FALSE(fso_->FileExists(file));
}

TEST_F(FileSystemObjectContract, FoldersListTheirEntriesAndFilesAreCopiedAndReplacedWhole) {
    for (const char* name : {"beta.txt", "Alpha.txt", "_under.txt", "ZETA.txt"}) {
        Write(root_ + "\\Sub\\" + name, "");
    }
    for (const char* name : {"b", "C", "a"}) fso_->CreateFolder(root_ + "\\Sub\\" + name);
    auto folder = fso_->GetFolder(root_ + "\\Sub");
    EXPECT_EQ(
        Names(folder->Files()),
        (std::vector<std::string>{"Alpha.txt", "beta.txt", "inner.txt", "ZETA.txt", "_under.txt"}));
    const std::vector<std::string> folders = {"a", "b", "C"};
    EXPECT_EQ(Names(folder->SubFolders()), folders);
    EXPECT_EQ(platform_->GetVolumes().SubDirectories(root_ + "\\Sub"), folders);

    const std::string batch = root_ + "\\touninst.bat";
    Write(batch, "del %0\r\n");
    fso_->CopyFile(batch, root_ + "\\file.txt", true);  // overwrites
    fso_->CopyFile(batch, root_ + "\\Sub\\C\\", true);  // into the folder
    EXPECT_EQ(Bytes(root_ + "\\file.txt"), "del %0\r\n");
    EXPECT_EQ(Bytes(root_ + "\\sub\\c\\touninst.bat"), "del %0\r\n");
    Write(batch, "");  // the old text goes
    EXPECT_EQ(Bytes(batch), "");

    fso_->DeleteFolder(root_ + "\\SUB");
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\Sub"));
}

TEST_F(FileSystemObjectContract, BatchFilesNameEveryFolderInAFormOfTheOemCodePage) {
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
    EXPECT_TRUE(std::ranges::none_of(shortForm, [](char c) { return c & 0x80; })) << shortForm;
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
    auto stream = fso_->CreateBatchFile(batch);
    stream->WriteLine("del \"" + accented + "\"");
    EXPECT_EQ(ErrorOf([&] { stream->Write(cyrillic); }), err::kInvalidProcedureCall);
    stream->Write("rem");
    stream->Close();
    EXPECT_EQ(Bytes(batch), "del \"" + root_ + "\\Jos\x82\"\r\nrem");  // 0x82 is "é" in 437
}

}  // namespace
}  // namespace tamsel::test
