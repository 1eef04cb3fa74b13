// tamsel-sandbox as a new user meets it: its help, its answers to arguments it cannot take,
// and the environment it keeps.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

class SandboxToolUsageTest : public ::testing::Test {
  protected:
    ProcessResult Tool(const std::vector<std::string>& args) {
        return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), Machine(), args);
    }
    fs::path Machine() const { return scratch_.Path() / "machine"; }

    ScratchDirectory scratch_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(SandboxToolUsageTest, HelpListsTheCommandsInTheirOrderWithAlignedColumns) {
    const auto help = Tool({"--help"});
    ASSERT_EQ(help.status, 0) << help.err;
    const auto lines = Lines(help.out);
    auto first = std::find(lines.begin(), lines.end(), "Commands:");
    ASSERT_NE(first, lines.end()) << help.out;

    const std::regex form("  (\\S+)(.*\\S)?  +(\\S.*)");
    std::vector<std::string> names;
    std::size_t summaryColumn = 0;
    for (auto line = first + 1; line != lines.end(); ++line) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(*line, match, form)) << *line;
        names.push_back(match[1]);
        const auto column = static_cast<std::size_t>(match.position(3));
        if (summaryColumn == 0) summaryColumn = column;
        EXPECT_EQ(column, summaryColumn) << *line;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"init", "reset", "path", "attrib", "lock", "unlock",
                                               "wsh", "oemcp", "env", "env", "env", "reg", "reg",
                                               "run", "logon", "--help", "--version"}));

    const auto version = Tool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tamsel-sandbox \\d+\\.\\d+\\.\\d+\n")))
        << version.out;
}

// Arguments the tool cannot take are answered with what to give instead, before the machine is
// even made.
TEST_F(SandboxToolUsageTest, ArgumentsItCannotTakeAreExplainedAndTouchNothing) {
    const fs::path folder = scratch_.Path() / "a folder.reg";
    fs::create_directory(folder);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    for (const Case& c : std::vector<Case>{
             {{"path", "Windows"},
              1,
              "not a full Windows path; give one with its drive, like C:\\Windows"},
             {{"path", "\\Windows"}, 1, "like C:\\Windows"},
             {{"path", "d:Apps"}, 1, "like d:\\Apps"},
             {{"attrib", "+r", "notes.txt"}, 1, "like C:\\notes.txt"},
             {{"lock", "app.exe"}, 1, "like C:\\app.exe"},
             {{"run", "/bin/true"},
              127,
              "a host path; the machine sees the host's files through "
              "drive Z: (read-only), so give Z:\\bin\\true"},
             {{"run", "dist/Setup"}, 127, "so give Z:\\"},
             {{"reg", "import", folder.string()}, 1, "is a folder, not a registry file"},
             {{"env", "-u"}, 2, "tamsel-sandbox env -u NAME"},
             {{"reg"}, 2, "tamsel-sandbox reg import FILE"},
         }) {
        const auto result = Tool(c.args);
        EXPECT_EQ(result.status, c.status) << c.args[0] << " " << c.args.back();
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
        EXPECT_FALSE(fs::exists(Machine())) << c.args[0] << " " << c.args.back();
    }
}

TEST_F(SandboxToolUsageTest, EnvironmentValuesAreKeptExactlyAsGiven) {
    for (const std::string& value : {std::string("C:\\My %TEMP% dir"), std::string("%TEMP%"),
                                     std::string(""), std::string("a=b; c")}) {
        ASSERT_EQ(Tool({"env", "TEMP=" + value}).status, 0) << value;
        const auto read = Tool({"env", "TEMP"});
        EXPECT_EQ(read.status, 0) << value << ": " << read.err;
        EXPECT_EQ(read.out, value + "\n");
    }
    // Without the user's own TEMP the system's shows through, and its folder exists.
    ASSERT_EQ(Tool({"env", "-u", "TEMP"}).status, 0);
    ASSERT_EQ(Tool({"env", "-u", "TEMP"}).status, 0);
    const auto system = Tool({"env", "TEMP"});
    ASSERT_EQ(system.out, "C:\\Windows\\Temp\n");
    const auto folder = Tool({"path", "C:\\Windows\\Temp"});
    EXPECT_TRUE(fs::is_directory(Lines(folder.out).at(0))) << folder.out;

    ASSERT_EQ(Tool({"env", "-u", "TAMSEL_NOT_SET"}).status, 0);
    const auto missing = Tool({"env", "TAMSEL_NOT_SET"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("TAMSEL_NOT_SET is not set"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace tamsel::test
