#include <gtest/gtest.h>

#include "LogonFixture.h"
#include "platform/sandbox/BatchInterpreter.h"

namespace tamsel::sandbox {
namespace {

TEST(BatchLineExpansion, FollowsTheRulesOfCmd) {
    auto variable = [](const std::string& name) {
        return name == "TEMP" ? std::string("C:\\Temp") : std::string();
    };
    auto expand = [&](const std::string& line) {
        return ExpandBatchLine(line, "C:\\b.bat", variable);
    };
    EXPECT_EQ(expand("del \"%TEMP%\\x\""), "del \"C:\\Temp\\x\"");
    EXPECT_EQ(expand("100%% sure"), "100% sure");
    EXPECT_EQ(expand("%%TEMP%%"), "%TEMP%");
    EXPECT_EQ(expand("a%UNSET%b"), "ab");
    EXPECT_EQ(expand("50% off"), "50 off");  // a lone % is dropped
    EXPECT_EQ(expand("x%"), "x");
    EXPECT_EQ(expand("%0 %1%* end"), "C:\\b.bat  end");
    EXPECT_EQ(expand("%%%%"), "%%");
}

class BatchInterpreterTest : public SandboxTest {
  protected:
    void Run(const std::string& text, const std::string& batchPath = "C:\\TEMP\\t.bat") {
        PutFile(batchPath, text);
        BatchInterpreter interpreter(*machine_, messages_);
        ASSERT_TRUE(interpreter.RunFile(batchPath));
        refused_ = interpreter.RefusedCount();
    }
    int refused_ = 0;
};

TEST_F(BatchInterpreterTest, DeletesFilesAndEmptyFolders) {
    PutFile("C:\\Apps\\Tamsel Orry\\uninstall.exe");
    PutFile("C:\\Apps\\Keep\\file.txt");
    PutFolder("C:\\Apps\\Empty");

    Run("del \"C:\\Apps\\Tamsel Orry\\uninstall.exe\"\r\n"
        "rmdir \"C:\\Apps\\Tamsel Orry\"\r\n"
        "rmdir C:\\Apps\\Empty\n"
        "rmdir \"C:\\Apps\\Keep\"\r\n"
        "del \"C:\\Apps\\missing.txt\"\r\n"
        "rmdir \"C:\\Apps\\Nothing\"\n");

    EXPECT_FALSE(Exists("C:\\Apps\\Tamsel Orry"));
    EXPECT_FALSE(Exists("C:\\Apps\\Empty"));
    EXPECT_TRUE(Exists("C:\\Apps\\Keep\\file.txt"));
    EXPECT_EQ(messages_.str(),
              "The directory is not empty.\n"
              "Could Not Find C:\\Apps\\missing.txt\n"
              "The system cannot find the file specified.\n");
    EXPECT_EQ(refused_, 0);
}

TEST_F(BatchInterpreterTest, RespectsReadOnlyAndInUseFiles) {
    PutFile("C:\\Apps\\ro.txt");
    PutFile("C:\\Apps\\busy.txt");
    machine_->SetReadOnly("C:\\Apps\\ro.txt", true);
    machine_->SetInUse("C:\\Apps\\busy.txt", true);

    Run("del \"C:\\Apps\\ro.txt\"\r\ndel \"C:\\Apps\\busy.txt\"\r\n");

    EXPECT_TRUE(Exists("C:\\Apps\\ro.txt"));
    EXPECT_TRUE(Exists("C:\\Apps\\busy.txt"));
    EXPECT_NE(messages_.str().find("C:\\Apps\\ro.txt\nAccess is denied.\n"), std::string::npos);
    EXPECT_NE(messages_.str().find("being used by another process"), std::string::npos);
}

TEST_F(BatchInterpreterTest, PercentEscapesReachTheRealPath) {
    PutFile("C:\\100% Apps\\%TEMP%\\f.txt");
    PutFile("C:\\Users\\User\\AppData\\Local\\Temp\\g.txt");
    Run("del \"C:\\100%% Apps\\%%TEMP%%\\f.txt\"\r\ndel \"%TEMP%\\g.txt\"");
    EXPECT_FALSE(Exists("C:\\100% Apps\\%TEMP%\\f.txt"));
    EXPECT_FALSE(Exists("C:\\Users\\User\\AppData\\Local\\Temp\\g.txt"));
    EXPECT_EQ(messages_.str(), "");
}

TEST_F(BatchInterpreterTest, UnknownCommandsAreReportedAndNotRun) {
    PutFile("C:\\Apps\\a.txt");
    PutFile("C:\\Apps\\b.txt");
    PutFile("C:\\Apps\\sub\\c.txt");
    Run("echo hello\r\n"
        "erase \"C:\\Apps\\a.txt\"\r\n"
        "del /f /q \"C:\\Apps\\a.txt\"\r\n"
        "del \"C:\\Apps\\*.txt\"\r\n"
        "del \"C:\\Apps\\a.txt\" & del \"C:\\Apps\\b.txt\"\r\n"
        "del \"C:\\Apps\\a.txt\" > nul\r\n"
        "rmdir /s /q \"C:\\Apps\\sub\"\r\n"
        "rd \"C:\\Apps\\sub\"\r\n"
        "del \"C:\\Apps\\sub\"\r\n"
        "rmdir \"C:\\\"\r\n");
    EXPECT_TRUE(Exists("C:\\Apps\\a.txt"));
    EXPECT_TRUE(Exists("C:\\Apps\\b.txt"));
    EXPECT_TRUE(Exists("C:\\Apps\\sub\\c.txt"));
    EXPECT_EQ(refused_, 9);
    EXPECT_TRUE(Exists("C:\\"));
}

TEST_F(BatchInterpreterTest, PathsNeverLeaveTheSandbox) {
    const auto outside = scratch_.Path() / "outside.txt";
    std::ofstream(outside) << "keep";
    Run("del \"C:\\..\\..\\outside.txt\"\r\n"
        "del \"Z:" +
        outside.string() +
        "\"\r\n"
        "rmdir \"Z:" +
        scratch_.Path().string() + "\"\r\n");
    EXPECT_TRUE(std::filesystem::exists(outside));
}

TEST_F(BatchInterpreterTest, ABatchFileThatDeletesItselfEndsThere) {
    PutFile("C:\\Apps\\a.txt");
    PutFile("C:\\Apps\\b.txt");
    Run("del \"C:\\Apps\\a.txt\"\r\ndel \"C:\\TEMP\\t.bat\"");
    EXPECT_FALSE(Exists("C:\\TEMP\\t.bat"));
    EXPECT_FALSE(Exists("C:\\Apps\\a.txt"));
    EXPECT_EQ(messages_.str(), "");

    // Before its last line, the rest of the file is lost to cmd.
    Run("del \"%0\"\r\ndel \"C:\\Apps\\b.txt\"\r\n", "C:\\TEMP\\u.bat");
    EXPECT_FALSE(Exists("C:\\TEMP\\u.bat"));
    EXPECT_TRUE(Exists("C:\\Apps\\b.txt"));
    EXPECT_EQ(messages_.str(), "The batch file cannot be found.\n");
}

}  // namespace
}  // namespace tamsel::sandbox
