#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
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

// Runs the program entry in this process with the environment a started program would see.
class ProgramEntryTest : public SandboxTest {
  protected:
    void SetUp() override {
        for (const char* name : {"TAMSEL_UI", "TAMSEL_UI_LOG", "TAMSEL_SANDBOX"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(
                name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("TAMSEL_SANDBOX", MachineDir().c_str(), 1);
        ::setenv("TAMSEL_UI_LOG", LogPath().c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

    std::filesystem::path LogPath() const { return scratch_.Path() / "log.jsonl"; }

    int RunEntry(const std::vector<std::string>& script,
                 std::function<void(EntryWindow&)> onLoad = {}) {
        const auto scriptPath = scratch_.Path() / "script.txt";
        WriteScript(scriptPath, script);
        ::setenv("TAMSEL_UI", ("script:" + scriptPath.string()).c_str(), 1);
        return RunProgram("Entry failure", [&](Application& app, Platform&) {
            return std::make_unique<EntryWindow>(app, onLoad);
        });
    }

    // The kinds of the events logged since the last look, which starts the log afresh.
    std::vector<std::string> LoggedKinds() const {
        ScriptRun logged;
        logged.events = ReadEventLog(LogPath());
        std::filesystem::remove(LogPath());
        return logged.Kinds();
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(ProgramEntryTest, ShowsTheMainWindowAndReturnsTheExitStatus) {
    EXPECT_EQ(RunEntry({"click CancelBTN"}), 0);
    const auto events = ReadEventLog(LogPath());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]["name"], "Entry");
    EXPECT_EQ(events[0]["caption"], "Entry window");
    EXPECT_EQ(events[1], nlohmann::json({{"event", "exit"}, {"status", 0}}));
}

TEST_F(ProgramEntryTest, TheLoadEventCanEndTheProgramBeforeTheWindowShows) {
    // A message box in the load event that the script cannot answer: front-end error.
    EXPECT_EQ(RunEntry({},
                       [](EntryWindow& window) {
                           MessageBoxSpec request;
                           request.title = "Entry";
                           request.text = "Before the window";
                           window.App().MsgBox(request);
                       }),
              exit_status::kFrontEnd);
    EXPECT_EQ(LoggedKinds(), (std::vector<std::string>{"msgbox", "error", "exit"}));

    // A run-time error in the load event is reported and ends the program with status 1.
    EXPECT_EQ(
        RunEntry({"answer OK"},
                 [](EntryWindow&) { throw RuntimeError::FromNumber(err::kCannotCreateObject); }),
        exit_status::kFailure);
    EXPECT_EQ(LoggedKinds(), (std::vector<std::string>{"msgbox", "answer", "exit"}));

    // The load event ends the program itself: the window is never shown, no line is read.
    EXPECT_EQ(RunEntry({"click CancelBTN"},
                       [](EntryWindow& window) {
                           window.App().End(exit_status::kMissingPrerequisite);
                           window.Unload();
                       }),
              exit_status::kMissingPrerequisite);
    EXPECT_EQ(LoggedKinds(), (std::vector<std::string>{"exit"}));
}

TEST_F(ProgramEntryTest, FrontEndsAndMachinesThatCannotBeOpenedFailWithStatus1) {
    for (const std::string& ui :
         {"script:" + (scratch_.Path() / "missing.txt").string(), std::string("script:")}) {
        ::setenv("TAMSEL_UI", ui.c_str(), 1);
        EXPECT_EQ(RunProgram("Entry failure",
                             [](Application& app, Platform&) {
                                 return std::make_unique<EntryWindow>(app, nullptr);
                             }),
                  exit_status::kFailure)
            << ui;
    }

    // A folder that holds something other than a sandbox is not taken for a machine.
    const auto notASandbox = scratch_.Path() / "documents";
    std::filesystem::create_directories(notASandbox);
    std::ofstream(notASandbox / "letter.txt") << "Dear ...\n";
    ::setenv("TAMSEL_SANDBOX", notASandbox.c_str(), 1);
    EXPECT_EQ(RunEntry({"click CancelBTN"}), exit_status::kFailure);
    EXPECT_EQ(LoggedKinds(), (std::vector<std::string>{"exit"}));
    EXPECT_TRUE(std::filesystem::exists(notASandbox / "letter.txt"));
}

}  // namespace
}  // namespace tamsel::test
