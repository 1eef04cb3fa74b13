// tamsel-sandbox as the user runs it: its help, the commands that arrange the machine, and the
// answers to arguments it cannot take.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class SandboxToolTest : public ::testing::Test {
  protected:
    ProcessResult Tool(const Args& args, const fs::path& folder = {}) {
        return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"),
                              folder.empty() ? Machine() : folder, args);
    }
    std::string Out(const Args& args) { return Tool(args).out; }
    fs::path Machine() const { return scratch_.Path() / "machine"; }

    ScratchDirectory scratch_;
};

TEST_F(SandboxToolTest, HelpListsTheCommandsInTheirOrderWithAlignedColumns) {
    const auto help = Tool({"--help"});
    ASSERT_EQ(help.status, 0) << help.err;
    std::istringstream lines(help.out.substr(help.out.find("\nCommands:\n") + 11));
    const std::regex form("  (\\S+)(.*\\S)?  +(\\S.*)");
    std::vector<std::string> names;
    std::size_t summaryColumn = 0;
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, form)) << line;
        names.push_back(match[1]);
        if (summaryColumn == 0) summaryColumn = static_cast<std::size_t>(match.position(3));
        EXPECT_EQ(static_cast<std::size_t>(match.position(3)), summaryColumn) << line;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"init", "reset", "path", "attrib", "lock", "unlock",
                                               "wsh", "oemcp", "env", "env", "env", "reg", "reg",
                                               "run", "logon", "--help", "--version"}));

    const auto version = Tool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tamsel-sandbox \\d+\\.\\d+\\.\\d+\n")))
        << version.out;
}

TEST_F(SandboxToolTest, CommandsChangeTheMachineAndResetRestoresIt) {
    EXPECT_EQ(Tool({"init"}).status, 0);
    EXPECT_EQ(Out({"path", "c:/users/user/DESKTOP/new.txt"}),
              (Machine() / "drives/c/Users/User/Desktop/new.txt").string() + "\n");
    EXPECT_EQ(Tool({"wsh", "off"}).status, 0);
    EXPECT_EQ(Out({"wsh"}), "off\n");
    EXPECT_EQ(Tool({"attrib", "+r", "C:\\Windows"}).status, 0);
    EXPECT_EQ(Out({"attrib", "c:\\windows"}), "R  C:\\Windows\n");

    // Environment values are kept exactly as given: nothing is expanded, and empty is a value.
    for (const std::string value : {"C:\\My %TEMP% dir", "", "a=b; c"}) {
        ASSERT_EQ(Tool({"env", "TEMP=" + value}).status, 0) << value;
        const auto read = Tool({"env", "temp"});
        EXPECT_EQ(read.status, 0) << value << ": " << read.err;
        EXPECT_EQ(read.out, value + "\n");
    }
    // Without the user's own TEMP the system's shows through; removing twice is no error.
    ASSERT_EQ(Tool({"env", "-u", "TEMP"}).status, 0);
    ASSERT_EQ(Tool({"env", "-u", "TEMP"}).status, 0);
    EXPECT_EQ(Out({"env", "TEMP"}), "C:\\Windows\\Temp\n");

    EXPECT_EQ(Tool({"reset"}).status, 0);
    EXPECT_EQ(Out({"attrib", "C:\\Windows"}), "   C:\\Windows\n");
    EXPECT_EQ(Out({"wsh"}), "on\n");
    // A folder that holds something else is neither wiped nor taken for a machine.
    const fs::path foreign = scratch_.Path() / "foreign";
    fs::create_directory(foreign);
    std::ofstream(foreign / "keep.txt") << "x";
    for (const std::string command : {"reset", "wsh"}) {
        const auto refused = Tool({command}, foreign);
        EXPECT_NE(refused.status, 0) << command;
        EXPECT_NE(refused.err.find(foreign.string()), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(fs::exists(foreign / "keep.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(foreign), {}), 1);  // and nothing added
}

// Arguments the tool cannot take are answered on stderr, with what to give instead where there
// is something to say, and change nothing.
TEST_F(SandboxToolTest, ArgumentsItCannotTakeAreExplainedAndChangeNothing) {
    // Arguments are checked before the machine is opened, which would make it.
    EXPECT_EQ(Tool({"attrib", "+r", "notes.txt"}).status, 1);
    EXPECT_FALSE(fs::exists(Machine()));
    ASSERT_EQ(Tool({"init"}).status, 0);
    // A copy of the machine, which diff compares with it at the end.
    const fs::path before = scratch_.Path() / "before";
    fs::copy(Machine(), before, fs::copy_options::recursive);
    const fs::path folder = scratch_.Path() / "a folder.reg";
    fs::create_directory(folder);
    // The arguments, the status the tool ends with, and what its message says.
    for (const auto& [args, status, says] : std::vector<std::tuple<Args, int, std::string>>{
             {{"init"}, 1, "is not empty: a new machine needs a missing or empty folder"},
             {{"path", "Windows"},
              1,
              "not a full Windows path; give one with its drive, like C:\\Windows"},
             {{"path", "\\Windows"}, 1, "like C:\\Windows"},
             {{"path", "d:Apps"}, 1, "like d:\\Apps"},
             {{"path", "Q:\\x"}, 1, "Path not found"},
             {{"run", "/bin/true"},
              127,
              "a host path; the machine sees the host's files through "
              "drive Z: (read-only), so give Z:\\bin\\true"},
             {{"run", "C:\\Windows"}, 127, "C:\\Windows"},
             {{"run", "dist/Setup"}, 127, "so give Z:\\"},
             {{"reg", "import", folder.string()}, 1, "is a folder, not a registry file"},
             {{"reg", "import", "/no/such/file.reg"}, 1, "cannot read /no/such/file.reg"},
             {{"env", "NOT_SET_ANYWHERE"}, 1, "NOT_SET_ANYWHERE is not set"},
             {{"env", "-u"}, 2, "tamsel-sandbox env -u NAME"},
             {{"reg"}, 2, "tamsel-sandbox reg import FILE"},
             {{"attrib", "+x", "C:\\Windows"}, 2, "usage:"},
             {{"run", "C:\\a.exe", "extra"}, 2, "usage:"},
         }) {
        const auto result = Tool(args);
        const std::string shown = args[0] + " " + args.back();
        EXPECT_EQ(result.status, status) << shown;
        EXPECT_NE(result.err.find(says), std::string::npos) << shown << ": " << result.err;
        EXPECT_TRUE(result.out.empty()) << shown << ": " << result.out;
    }
    const auto changed = RunProcess({"diff", "-r", before.string(), Machine().string()});
    EXPECT_EQ(changed.status, 0) << changed.out << changed.err;
}

}  // namespace
}  // namespace tamsel::test
