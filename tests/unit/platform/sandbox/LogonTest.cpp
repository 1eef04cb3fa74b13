#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "platform/sandbox/Logon.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using LogonTest = SandboxTest;

TEST_F(LogonTest, RunsEachValueOnceInAFixedOrderAndDeletesIt) {
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
    std::ostringstream errors;
    const sandbox::LogonResult result = sandbox::RunLogon(*machine_, out, errors);
    EXPECT_EQ(result.ran, 4);
    EXPECT_EQ(result.refused, 2);  // the missing batch file and the program
    for (const char* name : {"first", "second", "third", "bang"}) {
        EXPECT_FALSE(Exists(std::string("C:\\M\\") + name)) << name;
    }
    EXPECT_TRUE(
        std::regex_search(out.str(), std::regex("first\\.bat[^]*second\\.bat[^]*third\\.bat")))
        << out.str();
    EXPECT_NE(errors.str().find("tool.exe"), std::string::npos);
    // Every value goes, whether its command ran or not: a second log-on has nothing to run.
    const sandbox::LogonResult again = sandbox::RunLogon(*machine_, out, errors);
    EXPECT_EQ(again.ran + again.refused, 0);
}

}  // namespace
}  // namespace tamsel::test
