// The machine commands of tamsel-sandbox, run as the user runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sandbox/SandboxMachine.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r\n");
    auto last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

class SandboxToolTest : public ::testing::Test {
  protected:
    test::ProcessResult Tool(const std::vector<std::string>& args) {
        return test::RunSandboxTool(test::BuiltFile("tools/tamsel-sandbox"), Sandbox(), args);
    }
    fs::path Sandbox() const { return scratch_.Path() / "machine"; }

    // Every file of the machine with its contents, to show that nothing changed.
    std::string Snapshot() {
        std::string all;
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(Sandbox())) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            all += file.string() + "\n" + std::string(std::istreambuf_iterator<char>(in), {});
        }
        return all;
    }

    test::ScratchDirectory scratch_;
};

TEST_F(SandboxToolTest, InitMakesAMachineOnceAndResetRestoresIt) {
    auto made = Tool({"init"});
    EXPECT_EQ(made.status, 0) << made.err;
    auto again = Tool({"init"});
    EXPECT_NE(again.status, 0);
    EXPECT_NE(again.err.find("not empty"), std::string::npos) << again.err;

    EXPECT_EQ(Tool({"attrib", "+r", "C:\\Windows"}).status, 0);
    EXPECT_EQ(Trim(Tool({"attrib", "c:\\windows"}).out), "R  C:\\Windows");
    EXPECT_EQ(Tool({"reset"}).status, 0);
    EXPECT_EQ(Trim(Tool({"attrib", "C:\\Windows"}).out), "C:\\Windows");

    fs::path foreign = scratch_.Path() / "foreign";
    fs::create_directory(foreign);
    std::ofstream(foreign / "keep.txt") << "x";
    auto refused =
        test::RunSandboxTool(test::BuiltFile("tools/tamsel-sandbox"), foreign, {"reset"});
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find(foreign.string()), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::exists(foreign / "keep.txt"));
}

TEST_F(SandboxToolTest, CommandsChangeTheMachineThatProgramsSee) {
    ASSERT_EQ(Tool({"init"}).status, 0);
    auto path = Tool({"path", "c:/users/user/DESKTOP/new.txt"});
    EXPECT_EQ(path.status, 0);
    EXPECT_EQ(Trim(path.out), (Sandbox() / "drives/c/Users/User/Desktop/new.txt").string());

    std::ofstream(Sandbox() / "drives/d/app.exe") << "x";
    EXPECT_EQ(Tool({"lock", "D:\\APP.EXE"}).status, 0);
    EXPECT_EQ(Tool({"wsh", "off"}).status, 0);
    EXPECT_EQ(Tool({"env", "TEMP=D:\\Tmp"}).status, 0);
    {
        auto machine = sandbox::SandboxMachine::Open(Sandbox());
        EXPECT_TRUE(machine->IsInUse("D:\\app.exe"));
        EXPECT_FALSE(machine->ScriptingHostAvailable());
        EXPECT_EQ(machine->Environment("TEMP"), "D:\\Tmp");
    }
    EXPECT_EQ(Trim(Tool({"env", "temp"}).out), "D:\\Tmp");
    EXPECT_EQ(Trim(Tool({"wsh"}).out), "off");
    EXPECT_EQ(Tool({"unlock", "D:\\app.exe"}).status, 0);
    EXPECT_FALSE(sandbox::SandboxMachine::Open(Sandbox())->IsInUse("D:\\app.exe"));
}

TEST_F(SandboxToolTest, BadInputIsExplainedAndChangesNothing) {
    ASSERT_EQ(Tool({"init"}).status, 0);
    const std::string before = Snapshot();
    const std::vector<std::vector<std::string>> bad = {
        {"path"},
        {"path", "Q:\\x"},
        {"path", "C:\\..\\..\\etc"},
        {"attrib", "+x", "C:\\Windows"},
        {"attrib", "+r", "C:\\missing.txt"},
        {"attrib", "+r"},
        {"lock", "C:\\missing.exe"},
        {"lock"},
        {"wsh", "maybe"},
        {"env"},
        {"env", "=x"},
        {"env", "NOT_SET_ANYWHERE"},
        {"reset", "extra"},
    };
    for (const auto& args : bad) {
        auto result = Tool(args);
        std::string shown = args[0] + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_NE(result.status, 0) << shown;
        EXPECT_FALSE(Trim(result.err).empty()) << shown;
        EXPECT_TRUE(result.out.empty()) << shown << ": " << result.out;
    }
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace tamsel
