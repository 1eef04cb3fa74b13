#include <gtest/gtest.h>

#include "LogonFixture.h"
#include "platform/sandbox/Logon.h"

namespace tamsel::sandbox {
namespace {

using tamsel::reg::kCurrentUser;
using tamsel::reg::kLocalMachine;

TEST(LogonCommand, OnlyABatchFileIsACommand) {
    EXPECT_EQ(BatchFileOfCommand("\"C:\\TEMP\\touninst.bat\""), "C:\\TEMP\\touninst.bat");
    EXPECT_EQ(BatchFileOfCommand("C:\\TEMP\\x.CMD"), "C:\\TEMP\\x.CMD");
    EXPECT_EQ(BatchFileOfCommand("  \"C:\\My Files\\x.bat\"  "), "C:\\My Files\\x.bat");
    for (const char* other : {"", "C:\\Windows\\notepad.exe", "\"C:\\x.bat\" /now", "\"C:\\x.bat",
                              "cmd /c \"C:\\x.bat\"", "C:\\x.bat.txt"}) {
        EXPECT_EQ(BatchFileOfCommand(other), "") << other;
    }
}

class LogonTest : public SandboxTest {
  protected:
    bool HasValue(RegKey root, const std::string& name) {
        for (const auto& value : machine_->GetSqliteRegistry().Values(root, kRunOnceKey)) {
            if (value.name == name) return true;
        }
        return false;
    }
    std::ostringstream out_;
};

TEST_F(LogonTest, RunsEachValueOnceInAFixedOrderAndDeletesIt) {
    // Each batch file records its turn by deleting the marker of the one before it.
    PutFile("C:\\M\\0");
    PutFile("C:\\B\\first.bat", "del \"C:\\M\\0\"\r\n");
    PutFile("C:\\B\\second.bat", "del \"C:\\M\\1\"\r\n");
    PutFile("C:\\B\\third.bat", "del \"C:\\M\\2\"\r\n");
    PutValue(kLocalMachine, kRunOnceKey, "b", "\"C:\\B\\second.bat\"");
    PutValue(kLocalMachine, kRunOnceKey, "A", "\"C:\\B\\first.bat\"");
    PutValue(kCurrentUser, kRunOnceKey, "0 user", "C:\\B\\third.bat");
    PutValue(kLocalMachine, kRunOnceKey, "!later", "\"C:\\B\\bang.bat\"");
    PutValue(kLocalMachine, kRunOnceKey, "Tool", "C:\\Windows\\tool.exe /x");

    const LogonResult result = RunLogon(*machine_, out_, messages_);

    EXPECT_EQ(result.ran, 3);
    EXPECT_EQ(result.refused, 2);  // the missing batch file and the program
    EXPECT_FALSE(Exists("C:\\M\\0"));
    const std::string order = out_.str();
    const auto first = order.find("first.bat");
    const auto second = order.find("second.bat");
    const auto third = order.find("third.bat");
    ASSERT_NE(third, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_NE(messages_.str().find("tool.exe"), std::string::npos);
    // Every value goes, whether its command ran or not.
    for (const char* name : {"A", "b", "!later", "Tool"}) {
        EXPECT_FALSE(HasValue(kLocalMachine, name)) << name;
    }
    EXPECT_FALSE(HasValue(kCurrentUser, "0 user"));

    // A second log-on has nothing left to run.
    std::ostringstream again;
    const LogonResult second_run = RunLogon(*machine_, again, messages_);
    EXPECT_EQ(second_run.ran + second_run.refused, 0);
}

TEST_F(LogonTest, BangValuesAndExpandableCommandsRunAndGoToo) {
    // A plain value and a "!" value with an expandable command: both run once and go.
    PutFile("C:\\B\\plain.bat", "del \"C:\\M\\plain\"\r\n");
    PutFile("C:\\M\\plain");
    PutValue(kLocalMachine, kRunOnceKey, "Plain", "\"C:\\B\\plain.bat\"");
    PutFile("C:\\B\\bang.bat", "del \"C:\\M\\bang\"\r\n");
    PutFile("C:\\M\\bang");
    PutValue(kLocalMachine, kRunOnceKey, "!Bang", "\"%SystemDrive%\\B\\bang.bat\"",
             tamsel::reg::kExpandSz);
    machine_->SetEnvironment("SystemDrive", "C:");

    RunLogon(*machine_, out_, messages_);

    EXPECT_FALSE(Exists("C:\\M\\plain"));
    EXPECT_FALSE(Exists("C:\\M\\bang"));
    EXPECT_FALSE(HasValue(kLocalMachine, "Plain"));
    EXPECT_FALSE(HasValue(kLocalMachine, "!Bang"));
}

}  // namespace
}  // namespace tamsel::sandbox
