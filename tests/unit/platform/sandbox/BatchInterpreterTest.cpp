// Batch files on the sandbox: how its cmd reads and runs them, and the log-on that runs those
// of the RunOnce keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <tuple>

#include "platform/sandbox/BatchInterpreter.h"
#include "platform/sandbox/CodePage.h"
#include "platform/sandbox/Logon.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using sandbox::BatchInterpreter;

TEST(BatchLineExpansion, FollowsTheRulesOfCmd) {
    auto expand = [](const std::string& line) {
        return sandbox::ExpandBatchLine(line, "C:\\b.bat", [](const std::string& name) {
            return name == "TEMP" ? std::string("C:\\Temp") : std::string();
        });
    };
    EXPECT_EQ(expand("del \"%TEMP%\\x\""), "del \"C:\\Temp\\x\"");
    EXPECT_EQ(expand("50% off"), "50 off");  // a lone % is dropped
    EXPECT_EQ(expand("%0 %1%* end"), "C:\\b.bat  end");
}

class BatchInterpreterTest : public SandboxTest {
  protected:
    // Runs a batch file with the given text; returns the number of lines refused.
    int Run(const std::string& text, const std::string& batchPath = "C:\\TEMP\\t.bat") {
        messages_.str("");
        PutFile(batchPath, text);
        BatchInterpreter interpreter(*machine_, messages_);
        EXPECT_TRUE(interpreter.RunFile(batchPath));
        return interpreter.RefusedCount();
    }
    std::ostringstream messages_;
};

TEST_F(BatchInterpreterTest, DeletesFilesAndEmptyFoldersAndReportsTheRest) {
    PutFile("C:\\Apps\\Tamsel Orry\\uninstall.exe");
    PutFile("C:\\Apps\\Keep\\file.txt");
    PutFolder("C:\\Apps\\Empty");
    PutFile("C:\\Apps\\ro.txt");
    machine_->SetReadOnly("C:\\Apps\\ro.txt", true);
    PutFile("C:\\Apps\\busy.txt");
    machine_->SetInUse("C:\\Apps\\busy.txt", true);

    EXPECT_EQ(Run("del \"C:\\Apps\\Tamsel Orry\\uninstall.exe\"\r\n"
                  "rmdir \"C:\\Apps\\Tamsel Orry\"\r\n"
                  "rmdir C:\\Apps\\Empty\n"
                  "rmdir \"C:\\Apps\\Keep\"\r\n"
                  "del \"C:\\Apps\\missing.txt\"\r\n"
                  "del \"C:\\Apps\\ro.txt\"\r\n"
                  "del \"C:\\Apps\\busy.txt\"\r\n"),
              0);
    EXPECT_FALSE(Exists("C:\\Apps\\Tamsel Orry"));
    EXPECT_FALSE(Exists("C:\\Apps\\Empty"));
    EXPECT_TRUE(Exists("C:\\Apps\\Keep\\file.txt"));
    EXPECT_TRUE(Exists("C:\\Apps\\ro.txt") && Exists("C:\\Apps\\busy.txt"));
    EXPECT_EQ(messages_.str(),
              "The directory is not empty.\n"
              "Could Not Find C:\\Apps\\missing.txt\n"
              "C:\\Apps\\ro.txt\nAccess is denied.\n"
              "C:\\Apps\\busy.txt\nThe process cannot access the file because it is being used "
              "by another process.\n");
}

TEST_F(BatchInterpreterTest, RefusesUnknownCommandsAndPathsOutsideTheSandbox) {
    PutFile("C:\\Apps\\a.txt");
    PutFile("C:\\Apps\\b.txt");
    PutFile("C:\\Apps\\sub\\c.txt");
    const auto outside = scratch_.Path() / "outside.txt";
    std::ofstream(outside) << "keep";
    EXPECT_EQ(Run("erase \"C:\\Apps\\a.txt\"\r\n"
                  "del /f /q \"C:\\Apps\\a.txt\"\r\n"
                  "del \"C:\\Apps\\*.txt\"\r\n"
                  "del \"C:\\Apps\\a.txt\" & del \"C:\\Apps\\b.txt\"\r\n"
                  "del \"C:\\Apps\\sub\"\r\n"
                  "rmdir \"C:\\\"\r\n"
                  "del \"C:\\..\\..\\outside.txt\"\r\n"
                  "del \"Z:" +
                  outside.string() + "\"\r\n"),
              5);
    EXPECT_TRUE(Exists("C:\\Apps\\a.txt") && Exists("C:\\Apps\\b.txt"));
    EXPECT_TRUE(Exists("C:\\Apps\\sub\\c.txt"));
    EXPECT_TRUE(std::filesystem::exists(outside));
}

TEST_F(BatchInterpreterTest, ABatchFileThatDeletesItselfEndsThere) {
    PutFile("C:\\Apps\\a.txt");
    PutFile("C:\\Apps\\b.txt");
    Run("del \"C:\\Apps\\a.txt\"\r\ndel \"C:\\TEMP\\t.bat\"");
    EXPECT_FALSE(Exists("C:\\TEMP\\t.bat") || Exists("C:\\Apps\\a.txt"));
    EXPECT_EQ(messages_.str(), "");
    // Before its last line, the rest of the file is lost to cmd.
    Run("del \"%0\"\r\ndel \"C:\\Apps\\b.txt\"\r\n", "C:\\TEMP\\u.bat");
    EXPECT_FALSE(Exists("C:\\TEMP\\u.bat"));
    EXPECT_TRUE(Exists("C:\\Apps\\b.txt"));
    EXPECT_EQ(messages_.str(), "The batch file cannot be found.\n");
}

// cmd reads a batch file's bytes in the machine's OEM code page: a file written in another code
// page names other files and misses, as it does on Windows.
TEST_F(BatchInterpreterTest, ALineNamesItsFileOnlyInTheOemCodePage) {
    const std::string jose = "C:\\Jos\xC3\xA9 Caf\xC3\xA9";
    const std::string programs = "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0";
    // The machine's code page, the one the line is written in (65001: UTF-8), the folder, and
    // whether the line deletes the file.
    for (const auto& [machineCodePage, writtenIn, folder, deleted] :
         {std::tuple{437, 437, jose, true},
          {437, 65001, jose, false},
          {866, 866, programs, true}}) {
        SCOPED_TRACE(std::to_string(machineCodePage) + " " + std::to_string(writtenIn));
        machine_->SetOemCodePage(machineCodePage);
        const std::string file = folder + "\\uninstall.exe";
        PutFile(file);
        const std::string line = "del \"" + file + "\"\r\n";
        const auto bytes = writtenIn == 65001 ? std::optional<std::string>(line)
                                              : sandbox::Utf8ToCodePage(writtenIn, line);
        ASSERT_TRUE(bytes);
        Run(*bytes);
        EXPECT_EQ(!Exists(file), deleted) << messages_.str();
        EXPECT_EQ(messages_.str().starts_with("Could Not Find"), !deleted) << messages_.str();
    }
}

TEST_F(BatchInterpreterTest, TheLogOnRunsEachRunOnceValueOnceInAFixedOrderAndDeletesIt) {
    // Each batch file deletes a marker; the order shows in what the log-on writes.
    for (const char* name : {"first", "second", "third", "bang"}) {
        PutFile(std::string("C:\\M\\") + name);
        PutFile(std::string("C:\\B\\") + name + ".bat",
                std::string("del \"C:\\M\\") + name + "\"\r\n");
    }
    PutValue(reg::kLocalMachine, kRunOnceKey, "b", "\"C:\\B\\second.bat\"");
    PutValue(reg::kLocalMachine, kRunOnceKey, "A", "\"C:\\B\\first.bat\"");
    PutValue(reg::kCurrentUser, kRunOnceKey, "0 user", "C:\\B\\third.bat");
    PutValue(reg::kLocalMachine, kRunOnceKey, "!Bang", "\"%SystemDrive%\\B\\bang.bat\"",
             reg::kExpandSz);
    PutValue(reg::kLocalMachine, kRunOnceKey, "!later", "\"C:\\B\\missing.bat\"");
    PutValue(reg::kLocalMachine, kRunOnceKey, "Tool", "C:\\Windows\\tool.exe /x");
    machine_->SetEnvironment("SystemDrive", "C:");

    std::ostringstream out;
    const sandbox::LogonResult result = sandbox::RunLogon(*machine_, out, messages_);
    EXPECT_EQ(result.ran, 4);
    EXPECT_EQ(result.refused, 2);  // the missing batch file and the program
    for (const char* name : {"first", "second", "third", "bang"}) {
        EXPECT_FALSE(Exists(std::string("C:\\M\\") + name)) << name;
    }
    EXPECT_TRUE(
        std::regex_search(out.str(), std::regex("first\\.bat[^]*second\\.bat[^]*third\\.bat")))
        << out.str();
    EXPECT_NE(messages_.str().find("tool.exe"), std::string::npos);
    // Every value goes, whether its command ran or not: a second log-on has nothing to run.
    const sandbox::LogonResult again = sandbox::RunLogon(*machine_, out, messages_);
    EXPECT_EQ(again.ran + again.refused, 0);
}

}  // namespace
}  // namespace tamsel::test
