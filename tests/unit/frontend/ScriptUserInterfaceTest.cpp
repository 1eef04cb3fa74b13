// The scripted front end, run by the program entry with the environment a started program
// would see: the user played from a script, the windows and message boxes logged, and the exit
// status of whatever ends the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <tuple>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/ProgramMain.h"
#include "support/SandboxTest.h"

namespace tamsel {
namespace {

using nlohmann::json;
using Kinds = std::vector<std::string>;

// A window with one control of each kind the front end plays or logs. "E&xit" unloads it,
// which ends the program; the other handlers, and the load event, are the test's.
class TestWindow : public Form {
  public:
    TestWindow(Application& app, const std::string& name) : Form(app, name) {
        caption = "Test window";
        label.caption = "Hello";
        okButton.caption = "&Install";
        exitButton.caption = "E&xit";
        exitButton.onClick = [this] { Unload(); };
        group.caption = "Tamsel Orry";
        group.list = {"Accessories", "Games"};
        dir.caption = "C:\\";
        hiddenButton.visible = false;
        shape.visible = false;
        for (Control* control :
             {&label, &okButton, &exitButton, &hiddenButton, &group, &dir, &shape}) {
            AddControl(*control);
        }
    }
    void OnLoad() override {
        if (onLoad) onLoad();
    }

    Control label{"Label1", ControlKind::Label, {}};
    Control okButton{"OKBTN", ControlKind::CommandButton, {}};
    Control exitButton{"CancelBTN", ControlKind::CommandButton, {}};
    Control hiddenButton{"HiddenBTN", ControlKind::CommandButton, {}};
    Control group{"StartMenuGroup", ControlKind::ComboBox, {}};
    Control dir{"Dir", ControlKind::TextBox, {}};
    Control shape{"ProgressBar", ControlKind::Shape, {}};
    std::function<void()> onLoad;
};

using Configure = std::function<void(Application&, TestWindow&)>;

// OKBTN asks a question, its answers kept in `answers`; Yes unloads the window.
std::vector<MsgResult> answers;
void AskOnOk(Application& app, TestWindow& window) {
    window.okButton.onClick = [&app, &window] {
        answers.push_back(
            app.MsgBox({"Question", "Sure?\r\nReally?", MsgButtons::YesNo, MsgIcon::Question, 2}));
        if (answers.back() == MsgResult::Yes) window.Unload();
    };
}

class ScriptUserInterfaceTest : public test::SandboxTest {
  protected:
    void SetUp() override { ::setenv("TAMSEL_SANDBOX", MachineDir().c_str(), 1); }
    void TearDown() override {
        for (const char* name : {"TAMSEL_UI", "TAMSEL_UI_LOG", "TAMSEL_SANDBOX"}) ::unsetenv(name);
    }

    // Plays a script on a TestWindow, after configure has changed it: the program entry shows it,
    // then the front end runs until the program ends. TAMSEL_UI is the script unless ui is given;
    // the log starts with earlierLog.
    test::ScriptRun Play(const std::vector<std::string>& lines, const Configure& configure = {},
                         const std::string& ui = "", const std::string& earlierLog = "") {
        const auto script = scratch_.Path() / "script.txt";
        const auto log = scratch_.Path() / "log.jsonl";
        test::WriteScript(script, lines);
        std::ofstream(log) << earlierLog;
        ::setenv("TAMSEL_UI", (ui.empty() ? "script:" + script.string() : ui).c_str(), 1);
        ::setenv("TAMSEL_UI_LOG", log.c_str(), 1);
        answers.clear();
        test::ScriptRun run;
        run.status = RunProgram("Test failure", [&](Application& app, Platform&) {
            auto window = std::make_unique<TestWindow>(app, "Tester");
            if (configure) configure(app, *window);
            return window;
        });
        run.events = test::ReadEventLog(log);
        return run;
    }
};

TEST_F(ScriptUserInterfaceTest, PlaysTheUserAndLogsTheWindowAtEveryWaitAndEveryMessageBox) {
    const test::ScriptRun played =
        Play({"# keep the group", "set StartMenuGroup My  Group", "set Dir", "click OKBTN",
              "answer No", "click OKBTN", "answer Yes"},
             AskOnOk, "", "{\"event\":\"earlier\"}\n");
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(answers, (std::vector<MsgResult>{MsgResult::No, MsgResult::Yes}));
    // The log is appended to: what was there stays first.
    EXPECT_EQ(played.Kinds(), (Kinds{"earlier", "window", "window", "window", "msgbox", "answer",
                                     "window", "msgbox", "answer", "exit"}));
    const json expectedFirst = {
        {"event", "window"},
        {"name", "Tester"},
        {"caption", "Test window"},
        {"enabled", true},
        {"controls",
         {{"Label1", {{"caption", "Hello"}, {"enabled", true}}},
          {"OKBTN", {{"caption", "&Install"}, {"enabled", true}}},
          {"CancelBTN", {{"caption", "E&xit"}, {"enabled", true}}},
          {"HiddenBTN", {{"caption", ""}, {"enabled", true}, {"visible", false}}},
          {"StartMenuGroup", {{"text", "Tamsel Orry"}, {"list", {"Accessories", "Games"}}}},
          {"Dir", {{"text", "C:\\"}}},
          {"ProgressBar", {{"visible", false}}}}}};
    EXPECT_EQ(played.events[1], expectedFirst);
    EXPECT_EQ(played.events[2]["controls"]["StartMenuGroup"]["text"], "My  Group");
    EXPECT_EQ(played.events[3]["controls"]["Dir"]["text"], "");
    EXPECT_EQ(played.events.back(), json({{"event", "exit"}, {"status", 0}}));
}

TEST_F(ScriptUserInterfaceTest, InputToDisabledControlsDoesNothing) {
    const test::ScriptRun played = Play({"click OKBTN", "set Dir D:\\Elsewhere", "click CancelBTN"},
                                        [&](Application& app, TestWindow& window) {
                                            AskOnOk(app, window);
                                            window.okButton.enabled = false;
                                            window.dir.enabled = false;
                                        });
    EXPECT_EQ(played.status, 0);
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(played.EventsOf("window").back()["controls"]["Dir"],
              json({{"text", "C:\\"}, {"enabled", false}}));
}

TEST_F(ScriptUserInterfaceTest, WhatTheScriptCannotDoOnScreenEndsWithStatus3) {
    const Configure noCloseBox = [](Application&, TestWindow& window) { window.closeBox = false; };
    const Configure hideOnExit = [](Application&, TestWindow& window) {
        window.exitButton.onClick = [&window] { window.Hide(); };
    };
    // Each case by the message that says what went wrong.
    using Case = std::tuple<std::string, std::vector<std::string>, Configure>;
    for (const auto& [says, lines, configure] : std::vector<Case>{
             {"shows no command button 'Nothing'", {"click Nothing"}, {}},
             {"shows no command button 'HiddenBTN'", {"click HiddenBTN"}, {}},
             {"shows no editable control 'OKBTN'", {"set OKBTN text"}, {}},
             {"no message box is on screen", {"answer Yes"}, {}},
             {"unknown command 'press'", {"press OKBTN"}, {}},
             {"shows no drive list", {"drive d"}, {}},
             {"the script ran out while window 'Tester' waits", {"set Dir x"}, {}},
             {"has no close box", {"close"}, noCloseBox},
             // A wrong answer stops the handler where it waits.
             {"has no button 'OK'", {"click OKBTN", "answer OK"}, AskOnOk},
             {"waits for 'answer BUTTON'", {"click OKBTN", "click CancelBTN"}, AskOnOk},
             // A hidden window stays loaded, so the program goes on with nothing on screen.
             {"no window is on screen", {"click CancelBTN", "click OKBTN"}, hideOnExit},
             {"the script ran out while the program waits", {"click CancelBTN"}, hideOnExit},
         }) {
        SCOPED_TRACE(says);
        const test::ScriptRun played = Play(lines, configure);
        // The window, an error event with the message, then the one exit event, with status 3.
        EXPECT_EQ(played.status, exit_status::kFrontEnd);
        const auto kinds = played.Kinds();
        ASSERT_GE(kinds.size(), 3u);
        EXPECT_EQ(kinds.front(), "window");
        EXPECT_EQ(kinds[kinds.size() - 2], "error");
        EXPECT_NE(played.events[kinds.size() - 2].value("message", "").find(says),
                  std::string::npos);
        EXPECT_EQ(std::ranges::count(kinds, "exit"), 1);
        EXPECT_EQ(played.events.back(), json({{"event", "exit"}, {"status", 3}}));
        EXPECT_TRUE(answers.empty());
    }
}

TEST_F(ScriptUserInterfaceTest, TheLoadEventAndWhatCannotBeOpenedEndTheProgram) {
    // A message box in the load event that the script cannot answer: front-end error.
    const Configure ask = [](Application& app, TestWindow& window) {
        window.onLoad = [&app] { app.MsgBox({}); };
    };
    EXPECT_EQ(Play({}, ask).Kinds(), (Kinds{"msgbox", "error", "exit"}));
    // A run-time error in the load event is reported and ends the program with status 1.
    const Configure fail = [](Application&, TestWindow& window) {
        window.onLoad = [] { throw RuntimeError::FromNumber(err::kCannotCreateObject); };
    };
    const test::ScriptRun run = Play({"answer OK"}, fail);
    EXPECT_EQ(run.status, exit_status::kFailure);
    EXPECT_EQ(run.Kinds(), (Kinds{"msgbox", "answer", "exit"}));
    // A front end that cannot be opened.
    EXPECT_EQ(Play({}, {}, "script:/no/such/script.txt").status, exit_status::kFailure);
}

}  // namespace
}  // namespace tamsel
