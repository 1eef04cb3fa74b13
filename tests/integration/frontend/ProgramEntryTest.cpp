// The program entry run in this process with the environment a started program would see: the
// front end and machine it opens, the main window's load event, and the exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>

#include "frontend/ProgramMain.h"
#include "platform/RuntimeError.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

// A main window whose load event the test chooses; "E&xit" unloads it.
class EntryWindow : public Form {
  public:
    EntryWindow(Application& app, std::function<void(EntryWindow&)> onLoad)
        : Form(app, "Entry"), onLoad_(std::move(onLoad)) {
        caption = "Entry window";
        exitButton.caption = "E&xit";
        exitButton.onClick = [this] { Unload(); };
        AddControl(exitButton);
    }
    void OnLoad() override {
        if (onLoad_) onLoad_(*this);
    }
    Control exitButton{"CancelBTN", ControlKind::CommandButton, {}};

  private:
    std::function<void(EntryWindow&)> onLoad_;
};

class ProgramEntryTest : public SandboxTest {
  protected:
    void SetUp() override {
        for (const char* name : {"TAMSEL_UI", "TAMSEL_UI_LOG", "TAMSEL_SANDBOX"}) {
            const char* value = std::getenv(name);
            saved_[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
        ::setenv("TAMSEL_SANDBOX", MachineDir().c_str(), 1);
        ::setenv("TAMSEL_UI_LOG", log_.c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            if (!value) ::unsetenv(name.c_str());
        }
    }

    // Runs the entry with the script (or TAMSEL_UI as given); the kinds of the events it logged.
    std::vector<std::string> RunEntry(int expectedStatus, const std::vector<std::string>& script,
                                      std::function<void(EntryWindow&)> onLoad = {},
                                      const std::string& ui = "") {
        const auto scriptPath = scratch_.Path() / "script.txt";
        WriteScript(scriptPath, script);
        ::setenv("TAMSEL_UI", (ui.empty() ? "script:" + scriptPath.string() : ui).c_str(), 1);
        EXPECT_EQ(RunProgram("Entry failure",
                             [&](Application& app, Platform&) {
                                 return std::make_unique<EntryWindow>(app, onLoad);
                             }),
                  expectedStatus);
        ScriptRun logged;
        logged.events = ReadEventLog(log_);
        std::filesystem::remove(log_);
        return logged.Kinds();
    }

    std::filesystem::path log_ = scratch_.Path() / "log.jsonl";
    std::map<std::string, std::optional<std::string>> saved_;
};

using Kinds = std::vector<std::string>;

TEST_F(ProgramEntryTest, OpensFrontEndAndMachineRunsTheLoadEventAndReturnsTheExitStatus) {
    EXPECT_EQ(RunEntry(0, {"click CancelBTN"}), (Kinds{"window", "exit"}));

    // A message box in the load event that the script cannot answer: front-end error.
    EXPECT_EQ(RunEntry(exit_status::kFrontEnd, {},
                       [](EntryWindow& window) {
                           MessageBoxSpec request;
                           request.text = "Before the window";
                           window.App().MsgBox(request);
                       }),
              (Kinds{"msgbox", "error", "exit"}));
    // A run-time error in the load event is reported and ends the program with status 1.
    EXPECT_EQ(
        RunEntry(exit_status::kFailure, {"answer OK"},
                 [](EntryWindow&) { throw RuntimeError::FromNumber(err::kCannotCreateObject); }),
        (Kinds{"msgbox", "answer", "exit"}));
    // The load event ends the program itself: the window is never shown, no line is read.
    EXPECT_EQ(RunEntry(exit_status::kMissingPrerequisite, {"click CancelBTN"},
                       [](EntryWindow& window) {
                           window.App().End(exit_status::kMissingPrerequisite);
                           window.Unload();
                       }),
              (Kinds{"exit"}));

    // A front end that cannot be opened.
    EXPECT_EQ(RunEntry(exit_status::kFailure, {}, {}, "script:/no/such/script.txt"), Kinds{});
    EXPECT_EQ(RunEntry(exit_status::kFailure, {}, {}, "script:"), Kinds{});
    // A folder that holds something other than a sandbox is not taken for a machine.
    const auto documents = scratch_.Path() / "documents";
    std::filesystem::create_directories(documents);
    std::ofstream(documents / "letter.txt") << "Dear ...\n";
    ::setenv("TAMSEL_SANDBOX", documents.c_str(), 1);
    EXPECT_EQ(RunEntry(exit_status::kFailure, {"click CancelBTN"}), (Kinds{"exit"}));
    EXPECT_TRUE(std::filesystem::exists(documents / "letter.txt"));
}

}  // namespace
}  // namespace tamsel::test
