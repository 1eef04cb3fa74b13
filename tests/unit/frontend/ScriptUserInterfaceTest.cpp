#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "common/ui/Application.h"
#include "common/ui/Form.h"
#include "frontend/script/ScriptUserInterface.h"
#include "support/ScratchDirectory.h"
#include "support/ScriptRun.h"

namespace tamsel {
namespace {

using nlohmann::json;

// A window with one control of each kind the front end plays or logs. "E&xit" unloads it,
// which ends the program; the other handlers are the test's.
class TestWindow : public Form {
  public:
    TestWindow(Application& app, const std::string& name) : Form(app, name) {
        caption = "Test window";
        label.caption = "Hello";
        okButton.caption = "&Install";
        exitButton.caption = "E&xit";
        exitButton.onClick = [this] { Unload(); };
        hiddenButton.visible = false;
        hiddenButton.onClick = [this] { ++hiddenClicks; };
        okButton.onClick = [this] { ++okClicks; };
        group.caption = "Tamsel Orry";
        group.list = {"Accessories", "Games"};
        dir.caption = "C:\\";
        shape.visible = false;
        for (Control* control :
             {&label, &okButton, &exitButton, &hiddenButton, &group, &dir, &shape}) {
            AddControl(*control);
        }
    }

    Control label{"Label1", ControlKind::Label, {}};
    Control okButton{"OKBTN", ControlKind::CommandButton, {}};
    Control exitButton{"CancelBTN", ControlKind::CommandButton, {}};
    Control hiddenButton{"HiddenBTN", ControlKind::CommandButton, {}};
    Control group{"StartMenuGroup", ControlKind::ComboBox, {}};
    Control dir{"Dir", ControlKind::TextBox, {}};
    Control shape{"ProgressBar", ControlKind::Shape, {}};
    int okClicks = 0;
    int hiddenClicks = 0;
    std::unique_ptr<TestWindow> dialog;
};

using Configure = std::function<void(Application&, TestWindow&)>;

// Plays a script on a TestWindow, after configure has changed it, as the program entry does: the
// window is shown, then the front end runs until the program ends.
test::ScriptRun Play(const std::vector<std::string>& lines, const Configure& configure = {},
                     const std::string& earlierLog = "") {
    test::ScratchDirectory scratch;
    const auto script = scratch.Path() / "script.txt";
    const auto log = scratch.Path() / "log.jsonl";
    test::WriteScript(script, lines);
    if (!earlierLog.empty()) std::ofstream(log) << earlierLog;
    auto ui = OpenScriptUserInterface(script.string(), log.string());
    Application app(*ui, "Test failure");
    TestWindow window(app, "Tester");
    if (configure) configure(app, window);
    try {
        app.Dispatch([&] { window.Show(); });
        ui->Run(app);
    } catch (const FrontEndError&) {
        app.End(exit_status::kFrontEnd);
    }
    test::ScriptRun run;
    run.status = app.ExitStatus();
    run.events = test::ReadEventLog(log);
    return run;
}

TEST(ScriptUserInterfaceTest, PlaysTheUserAndLogsTheWindowAtEveryWait) {
    int clicks = -1;
    const test::ScriptRun played = Play(
        {"# keep the group", "set StartMenuGroup My  Group", "set Dir", "click OKBTN",
         "click CancelBTN"},
        [&](Application&, TestWindow& window) {
            window.okButton.onClick = [&window, &clicks] { clicks = ++window.okClicks; };
        },
        "{\"event\":\"earlier\"}\n");

    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(clicks, 1);
    // The log is appended to: what was there stays first.
    EXPECT_EQ(played.Kinds(), (std::vector<std::string>{"earlier", "window", "window", "window",
                                                        "window", "exit"}));
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

TEST(ScriptUserInterfaceTest, InputToDisabledControlsDoesNothing) {
    int clicks = 0;
    const test::ScriptRun played = Play({"click OKBTN", "set Dir D:\\Elsewhere", "click CancelBTN"},
                                        [&](Application&, TestWindow& window) {
                                            window.okButton.enabled = false;
                                            window.okButton.onClick = [&clicks] { ++clicks; };
                                            window.dir.enabled = false;
                                        });
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(clicks, 0);
    const auto windows = played.EventsOf("window");
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[2]["controls"]["OKBTN"]["enabled"], false);
    EXPECT_EQ(windows[2]["controls"]["Dir"], json({{"text", "C:\\"}, {"enabled", false}}));
}

// OKBTN asks a question; Yes unloads the window.
std::vector<MsgResult> answers;
void AskOnOk(Application& app, TestWindow& window) {
    window.okButton.onClick = [&app, &window] {
        MessageBoxSpec request;
        request.title = "Question";
        request.text = "Sure?\r\nReally?";
        request.buttons = MsgButtons::YesNo;
        request.icon = MsgIcon::Question;
        request.defaultButton = 2;
        answers.push_back(app.MsgBox(request));
        if (answers.back() == MsgResult::Yes) window.Unload();
    };
}

// OKBTN shows a modeless dialog over the window and disables it; the dialog's CancelBTN hides the
// dialog again.
void DialogOnOk(Application& app, TestWindow& window) {
    window.dialog = std::make_unique<TestWindow>(app, "Dialog");
    TestWindow& dialog = *window.dialog;
    window.okButton.onClick = [&window, &dialog] {
        dialog.Show();
        window.enabled = false;
    };
    dialog.exitButton.onClick = [&window, &dialog] {
        window.enabled = true;
        dialog.Hide();
    };
}

TEST(ScriptUserInterfaceTest, WhatTheScriptCannotDoOnScreenEndsWithStatus3) {
    const Configure noCloseBox = [](Application&, TestWindow& window) { window.closeBox = false; };
    struct Case {
        std::string why;
        std::vector<std::string> lines;
        Configure configure;
    };
    for (const Case& c : std::vector<Case>{
             {"unknown control", {"click Nothing"}, {}},
             {"a label is no button", {"click Label1"}, {}},
             {"a hidden button is not on screen", {"click HiddenBTN"}, {}},
             {"a button is not editable", {"set OKBTN text"}, {}},
             {"no message box on screen", {"answer Yes"}, {}},
             {"unknown command", {"press OKBTN"}, {}},
             {"no drive list on the window", {"drive d"}, {}},
             {"no directory list on the window", {"open C:\\"}, {}},
             {"the script runs out", {"# nothing but a comment"}, {}},
             {"the script runs out later", {"set Dir x"}, {}},
             {"no close box", {"close"}, noCloseBox},
             // A wrong answer stops the handler where it waits.
             {"the box has no such button", {"click OKBTN", "answer OK"}, AskOnOk},
             {"no such button at all", {"click OKBTN", "answer Maybe"}, AskOnOk},
             {"a click while the box is open", {"click OKBTN", "click CancelBTN"}, AskOnOk},
             {"the script runs out at the box", {"click OKBTN"}, AskOnOk},
             // Unloading the main window leaves the hidden dialog loaded, so the program goes on
             // with nothing on screen: the script cannot go on either, and says so.
             {"only a hidden window left",
              {"click OKBTN", "click CancelBTN", "click CancelBTN"},
              DialogOnOk},
         }) {
        int hiddenClicks = 0;
        answers.clear();
        const test::ScriptRun played = Play(c.lines, [&](Application& app, TestWindow& window) {
            if (c.configure) c.configure(app, window);
            window.hiddenButton.onClick = [&hiddenClicks] { ++hiddenClicks; };
        });
        // An error event with a message, then one exit event with status 3.
        EXPECT_EQ(played.status, exit_status::kFrontEnd) << c.why;
        const auto kinds = played.Kinds();
        ASSERT_GE(kinds.size(), 3u) << c.why;
        EXPECT_EQ(kinds.front(), "window") << c.why;
        EXPECT_EQ(kinds[kinds.size() - 2], "error") << c.why;
        EXPECT_FALSE(played.events[kinds.size() - 2].value("message", "").empty()) << c.why;
        EXPECT_EQ(played.events.back(), json({{"event", "exit"}, {"status", 3}})) << c.why;
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "exit"), 1) << c.why;
        EXPECT_EQ(hiddenClicks, 0) << c.why;
        EXPECT_TRUE(answers.empty()) << c.why;
    }
}

TEST(ScriptUserInterfaceTest, MessageBoxesAreLoggedAndAnswered) {
    answers.clear();
    const test::ScriptRun played =
        Play({"click OKBTN", "answer No", "click OKBTN", "answer Yes"}, AskOnOk);
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(answers, (std::vector<MsgResult>{MsgResult::No, MsgResult::Yes}));
    EXPECT_EQ(played.Kinds(), (std::vector<std::string>{"window", "msgbox", "answer", "window",
                                                        "msgbox", "answer", "exit"}));
    EXPECT_EQ(played.events[1], json({{"event", "msgbox"},
                                      {"title", "Question"},
                                      {"text", "Sure?\r\nReally?"},
                                      {"buttons", "YesNo"},
                                      {"icon", "question"},
                                      {"default", "No"}}));
    EXPECT_EQ(played.events[2], json({{"event", "answer"}, {"button", "No"}}));
}

TEST(ScriptUserInterfaceTest, CloseBoxAndTheActiveWindow) {
    // The close box unloads the window, and with it the program ends normally.
    EXPECT_EQ(Play({"close"}).status, 0);

    // A modeless dialog over a disabled window is the active window until it hides.
    const test::ScriptRun played =
        Play({"click OKBTN", "set Dir D:\\Games", "click CancelBTN", "click CancelBTN"},
             [&](Application& app, TestWindow& window) {
                 DialogOnOk(app, window);
                 window.exitButton.onClick = [&app] { app.End(exit_status::kNormal); };
             });
    EXPECT_EQ(played.status, 0);
    std::vector<std::string> names;
    for (const auto& window : played.EventsOf("window")) names.push_back(window["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{"Tester", "Dialog", "Dialog", "Tester"}));
    EXPECT_EQ(played.EventsOf("window")[2]["controls"]["Dir"]["text"], "D:\\Games");
    EXPECT_EQ(played.EventsOf("window")[3]["controls"]["Dir"]["text"], "C:\\");
    EXPECT_EQ(played.EventsOf("window")[3]["enabled"], true);
}

}  // namespace
}  // namespace tamsel
