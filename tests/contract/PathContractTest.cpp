// How "Scripting.FileSystemObject" reads paths, checked on both platforms with the same
// expectations: Windows' answers, which the sandbox must give too.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "contract/ContractPlatform.h"
#include "platform/FileSystemObject.h"
#include "platform/RuntimeError.h"

namespace tamsel::test {
namespace {

std::int32_t NumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

class PathContract : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = platform_->GetSystem().EnvironmentVariable("TEMP") + "\\tamsel-paths";
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
        fso_->CreateFolder(root_);
        fso_->CreateFolder(root_ + "\\Sub");
        fso_->CreateTextFile(root_ + "\\Sub\\inner.txt", true)->Close();
        fso_->CreateTextFile(root_ + "\\file.txt", true)->Close();
    }
    void TearDown() override {
        if (fso_->FolderExists(root_)) fso_->DeleteFolder(root_, true);
    }

    std::unique_ptr<Platform> platform_ = OpenContractPlatform();
    std::unique_ptr<FileSystemObject> fso_ = platform_->GetAutomation().CreateFileSystemObject();
    std::string root_;
};

// A member called with a path (relative to the test's folder when it starts with "\"; as
// written otherwise) and the error number it raises (0: none).
struct PathCall {
    const char* member;
    const char* path;
    std::int32_t number;
};

TEST_F(PathContract, EveryMemberRaisesWindowsNumbersForOddPaths) {
    const std::vector<PathCall> calls = {
        {"CreateFolder", "", err::kPathNotFound},
        {"GetFolder", "", err::kPathNotFound},
        {"DeleteFolder", "", err::kPathNotFound},
        {"DeleteFile", "", err::kPathNotFound},
        {"CopyFile", "", err::kInvalidProcedureCall},
        {"CreateTextFile", "", err::kPathNotFound},
        {"CreateFolder", "tamsel-no-such-folder\\child", err::kPathNotFound},
        {"GetFolder", "tamsel-no-such-folder", err::kPathNotFound},
        {"DeleteFolder", "tamsel-no-such-folder", err::kFileNotFound},
        {"DeleteFolder", "\\Missing", err::kFileNotFound},
        {"DeleteFolder", "\\Missing\\Deeper", err::kPathNotFound},
        {"DeleteFile", "\\Missing\\x.txt", err::kPathNotFound},
        {"GetFolder", "\\Missing", err::kPathNotFound},
        {"GetFolder", "\\file.txt", err::kPathNotFound},
        {"CopyFile", "\\Missing\\x.txt", err::kPathNotFound},
        {"DeleteFile", "tamsel-no-such-file.txt", err::kFileNotFound},
        {"CreateFolder", "\\bad<name", err::kBadFileName},
        {"CreateFolder", "\\bad|name", err::kBadFileName},
        {"CreateFolder", "\\bad?name", err::kBadFileName},
        {"CreateFolder", "\\Sub \\Child", err::kPathNotFound},
        {"CreateTextFile", "\\Sub \\new.txt", err::kPathNotFound},
        {"CreateFolder", "\\Sub.", err::kFileAlreadyExists},
        {"CreateFolder", "\\Sub ", err::kFileAlreadyExists},
        {"GetFolder", "\\Sub\\", 0},
        {"GetFolder", "\\Sub \\", err::kPathNotFound},
        {"DeleteFile", "\\file.txt\\", err::kFileNotFound},
        {"DeleteFile", "\\Sub \\inner.txt", err::kPathNotFound},
        {"DeleteFolder", "\\Sub\\", err::kFileNotFound},
        {"DeleteFolder", "\\Sub \\", err::kFileNotFound},
    };
    for (const PathCall& call : calls) {
        std::string path = call.path;
        if (path.starts_with('\\')) path = root_ + path;
        const std::string member = call.member;
        const std::int32_t number = NumberOf([&] {
            if (member == "CreateFolder") fso_->CreateFolder(path);
            if (member == "GetFolder") fso_->GetFolder(path);
            if (member == "DeleteFolder") fso_->DeleteFolder(path);
            if (member == "DeleteFile") fso_->DeleteFile(path);
            if (member == "CopyFile") fso_->CopyFile(path, root_ + "\\copy.txt", true);
            if (member == "CreateTextFile") fso_->CreateTextFile(path, true)->Close();
        });
        EXPECT_EQ(number, call.number) << member << "(\"" << call.path << "\")";
    }
    EXPECT_TRUE(fso_->FileExists(root_ + "\\Sub\\inner.txt"));
}

TEST_F(PathContract, OnlyTheLastLevelLosesATrailingBlankOrDot) {
    EXPECT_TRUE(fso_->FolderExists(root_ + "\\Sub\\"));
    EXPECT_TRUE(fso_->FolderExists(root_ + "\\Sub."));
    EXPECT_TRUE(fso_->FolderExists(root_ + "\\Sub "));
    EXPECT_TRUE(fso_->FolderExists(root_ + "\\Sub. . "));
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\Sub \\"));
    EXPECT_TRUE(fso_->FileExists(root_ + "\\file.txt."));
    EXPECT_TRUE(fso_->FileExists(root_ + "\\Sub\\inner.txt "));
    EXPECT_FALSE(fso_->FileExists(root_ + "\\Sub \\inner.txt"));
    EXPECT_FALSE(fso_->FileExists(root_ + "\\file.txt\\"));
    EXPECT_FALSE(fso_->FolderExists(""));
    EXPECT_FALSE(fso_->FileExists(""));

    // A new folder is named without the blank or dot; the level above is taken as written.
    fso_->CreateFolder(root_ + "\\Group ");
    fso_->CreateFolder(root_ + "\\Dotted.");
    std::vector<std::string> names;
    for (const auto& item : fso_->GetFolder(root_ + "\\")->SubFolders()) names.push_back(item.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Dotted", "Group", "Sub"}));
    fso_->CreateTextFile(root_ + "\\Group\\new.txt. ", true)->Close();
    EXPECT_TRUE(fso_->FileExists(root_ + "\\Group\\new.txt"));
    fso_->DeleteFolder(root_ + "\\Group ");
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\Group"));
}

// A level that ends in a dot, not last: Windows keeps the dot (its path normalization trims the
// end of the whole path only) and finds no such folder. Wine drops the dot there too.
TEST_F(PathContract, ALevelWithATrailingDotIsNotTheFolderWithoutIt) {
    if (ContractPlatformIsWine()) {
        GTEST_SKIP() << "Wine finds \\Sub.\\Child in \\Sub; Windows and the sandbox do not";
    }
    EXPECT_FALSE(fso_->FolderExists(root_ + "\\Sub.\\"));
    EXPECT_FALSE(fso_->FileExists(root_ + "\\Sub.\\inner.txt"));
    EXPECT_EQ(NumberOf([&] { fso_->CreateFolder(root_ + "\\Sub.\\Child"); }), err::kPathNotFound);
}

}  // namespace
}  // namespace tamsel::test
