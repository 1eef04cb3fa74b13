#include <gtest/gtest.h>

#include <string>

#include "platform/RuntimeError.h"
#include "platform/sandbox/BatchInterpreter.h"
#include "uninstall/CleanupBatchText.h"

namespace tamsel::removal {
namespace {

TEST(CleanupBatchText, LinesNameTheFolderAndTheBatchFileInQuotes) {
    const auto lines = MakeCleanupBatchLines("C:\\Program Files\\Tamsel Orry", "C:\\TEMP");
    EXPECT_EQ(lines.deleteUninstaller, "del \"C:\\Program Files\\Tamsel Orry\\uninstall.exe\"");
    EXPECT_EQ(lines.removeFolder, "rmdir \"C:\\Program Files\\Tamsel Orry\"");
    EXPECT_EQ(lines.deleteItself, "del \"C:\\TEMP\\touninst.bat\"");

    // An empty temporary folder puts the batch file at the root of the current drive.
    EXPECT_EQ(MakeCleanupBatchLines("D:\\T", "").deleteItself, "del \"\\touninst.bat\"");
}

TEST(CleanupBatchText, PercentSignsSurviveTheExpansionOfCmd) {
    const std::string folder = "C:\\100% Tools\\%TEMP% & %%Orry%";
    const std::string temp = "D:\\Tmp%1";
    const auto lines = MakeCleanupBatchLines(folder, temp);
    EXPECT_EQ(lines.removeFolder, "rmdir \"C:\\100%% Tools\\%%TEMP%% & %%%%Orry%%\"");

    // What cmd makes of each line is the real path again, whatever the environment holds.
    auto anything = [](const std::string&) { return std::string("EXPANDED"); };
    EXPECT_EQ(sandbox::ExpandBatchLine(lines.deleteUninstaller, "x.bat", anything),
              "del \"" + folder + "\\uninstall.exe\"");
    EXPECT_EQ(sandbox::ExpandBatchLine(lines.removeFolder, "x.bat", anything),
              "rmdir \"" + folder + "\"");
    EXPECT_EQ(sandbox::ExpandBatchLine(lines.deleteItself, "x.bat", anything),
              "del \"" + temp + "\\touninst.bat\"");
}

TEST(CleanupBatchText, RefusesPathsThatWouldBreakOutOfTheirQuotes) {
    for (const auto& [folder, temp] :
         {std::pair<std::string, std::string>{"C:\\Tamsel\" & rmdir /s /q \"C:\\", "C:\\TEMP"},
          {"C:\\Tamsel\r\nrmdir C:\\Windows", "C:\\TEMP"},
          {"C:\\Tamsel", "C:\\TEMP\"x"},
          {"C:\\Tamsel", "C:\\TEMP\n"}}) {
        try {
            MakeCleanupBatchLines(folder, temp);
            ADD_FAILURE() << "accepted " << folder << " / " << temp;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), err::kBadFileName);
        }
    }
}

}  // namespace
}  // namespace tamsel::removal
