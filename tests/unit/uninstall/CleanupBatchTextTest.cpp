#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/RuntimeError.h"
#include "platform/sandbox/BatchInterpreter.h"
#include "support/SandboxTest.h"
#include "uninstall/CleanupBatchText.h"

namespace tamsel::removal {
namespace {

using Paths = std::pair<std::string, std::string>;  // the folder and the temporary folder

// What cmd makes of each line is the real path in quotes again, whatever the environment
// holds; an empty temporary folder puts the batch file at the root of the current drive.
TEST(CleanupBatchText, CmdReadsEachLineAsThePathsInQuotes) {
    auto anything = [](const std::string&) { return std::string("EXPANDED"); };
    for (const auto& [folder, temp] :
         {Paths{"C:\\Program Files\\Tamsel Orry", "C:\\TEMP"},
          Paths{"C:\\100% Tools\\%TEMP% & %%Orry%", "D:\\Tmp%1"}, Paths{"D:\\T", ""}}) {
        const auto lines = MakeCleanupBatchLines(folder, temp);
        auto cmd = [&](const std::string& line) {
            return sandbox::ExpandBatchLine(line, "x.bat", anything);
        };
        EXPECT_EQ(cmd(lines.deleteUninstaller), "del \"" + folder + "\\uninstall.exe\"");
        EXPECT_EQ(cmd(lines.removeFolder), "rmdir \"" + folder + "\"");
        EXPECT_EQ(cmd(lines.deleteItself), "del \"" + temp + "\\touninst.bat\"");
    }
}

TEST(CleanupBatchText, RefusesPathsThatWouldBreakOutOfTheirQuotes) {
    for (const auto& [folder, temp] :
         {Paths{"C:\\Tamsel\" & rmdir /s /q \"C:\\", "C:\\TEMP"},
          Paths{"C:\\Tamsel\r\nrmdir C:\\Windows", "C:\\TEMP"}, Paths{"C:\\Tamsel", "C:\\TEMP\"x"},
          Paths{"C:\\Tamsel", "C:\\TEMP\n"}}) {
        EXPECT_EQ(test::ErrorOf([&] { MakeCleanupBatchLines(folder, temp); }), err::kBadFileName)
            << folder << " / " << temp;
    }
}

}  // namespace
}  // namespace tamsel::removal
