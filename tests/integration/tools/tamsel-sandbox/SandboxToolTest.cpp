// The machine commands of tamsel-sandbox, run as the user runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

class SandboxToolTest : public ::testing::Test {
  protected:
    ProcessResult Tool(const std::vector<std::string>& args, const fs::path& folder = {}) {
        return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"),
                              folder.empty() ? Machine() : folder, args);
    }
    std::string Out(const std::vector<std::string>& args) {
        const std::string out = Tool(args).out;
        const auto first = out.find_first_not_of(" \r\n");
        if (first == std::string::npos) return "";
        return out.substr(first, out.find_last_not_of(" \r\n") - first + 1);
    }
    fs::path Machine() const { return scratch_.Path() / "machine"; }

    // Every file of the machine with its contents, to show that nothing changed.
    std::string Snapshot() {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(Machine())) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        std::string all;
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            all += file.string() + "\n" + std::string(std::istreambuf_iterator<char>(in), {});
        }
        return all;
    }

    ScratchDirectory scratch_;
};

TEST_F(SandboxToolTest, CommandsChangeTheMachineAndResetRestoresIt) {
    EXPECT_EQ(Tool({"init"}).status, 0);
    const auto again = Tool({"init"});
    EXPECT_NE(again.status, 0);
    EXPECT_NE(again.err.find("not empty"), std::string::npos) << again.err;

    EXPECT_EQ(Out({"path", "c:/users/user/DESKTOP/new.txt"}),
              (Machine() / "drives/c/Users/User/Desktop/new.txt").string());
    std::ofstream(Machine() / "drives/d/app.exe") << "x";
    EXPECT_EQ(Tool({"lock", "D:\\APP.EXE"}).status, 0);
    EXPECT_EQ(Tool({"wsh", "off"}).status, 0);
    EXPECT_EQ(Tool({"env", "TEMP=D:\\Tmp"}).status, 0);
    EXPECT_EQ(Tool({"attrib", "+r", "C:\\Windows"}).status, 0);
    EXPECT_EQ(Out({"env", "temp"}), "D:\\Tmp");
    EXPECT_EQ(Out({"wsh"}), "off");
    EXPECT_EQ(Out({"attrib", "c:\\windows"}), "R  C:\\Windows");
    EXPECT_EQ(Tool({"unlock", "D:\\app.exe"}).status, 0);

    EXPECT_EQ(Tool({"reset"}).status, 0);
    EXPECT_EQ(Out({"attrib", "C:\\Windows"}), "C:\\Windows");
    EXPECT_EQ(Out({"wsh"}), "on");
    // A folder that holds something else is not wiped.
    const fs::path foreign = scratch_.Path() / "foreign";
    fs::create_directory(foreign);
    std::ofstream(foreign / "keep.txt") << "x";
    const auto refused = Tool({"reset"}, foreign);
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find(foreign.string()), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::exists(foreign / "keep.txt"));
}

TEST_F(SandboxToolTest, BadInputIsExplainedAndChangesNothing) {
    ASSERT_EQ(Tool({"init"}).status, 0);
    const std::string before = Snapshot();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"path"},
             {"path", "Q:\\x"},
             {"path", "C:\\..\\..\\etc"},
             {"attrib", "+x", "C:\\Windows"},
             {"attrib", "+r", "C:\\missing.txt"},
             {"lock", "C:\\missing.exe"},
             {"wsh", "maybe"},
             {"env", "=x"},
             {"env", "NOT_SET_ANYWHERE"},
             {"reset", "extra"},
             {"reg", "import", "/no/such/file.reg"},
         }) {
        const auto result = Tool(args);
        const std::string shown = args[0] + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_NE(result.status, 0) << shown;
        EXPECT_FALSE(result.err.empty()) << shown;
        EXPECT_TRUE(result.out.empty()) << shown << ": " << result.out;
    }
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace tamsel::test
