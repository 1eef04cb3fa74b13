#include <gtest/gtest.h>

#include "SandboxProgramsFixture.h"
#include "support/ScriptRun.h"

namespace tamsel::test {
namespace {

// Setup, the application and the uninstaller from the ready-to-run folder, played by scripts.
class ScriptedProgramsTest : public SandboxProgramsFixture {
  protected:
    void SetUp() override {
        SandboxProgramsFixture::SetUp();
        for (const char* name : {"Setup", "TamselOrry.exe", "uninstall.exe"}) {
            if (!std::filesystem::exists(BuiltFile("dist") / name)) {
                GTEST_SKIP() << "dist/" << name << " is not built";
            }
        }
    }

    ScriptRun Setup(const std::vector<std::string>& script) {
        return RunScripted(BuiltFile("dist/Setup"), SandboxDir(), script);
    }
};

TEST_F(ScriptedProgramsTest, SetupShowsItsWindowAndEndsOnExitOrOnAScriptFault) {
    const auto run = Setup({"click CancelBTN"});
    ASSERT_TRUE(run.problem.empty()) << run.problem;
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Kinds(), (std::vector<std::string>{"window", "exit"}));
    const auto& window = run.events.front();
    EXPECT_EQ(window["name"], "Installer");
    EXPECT_EQ(window["controls"]["OKBTN"],
              nlohmann::json({{"caption", "&Install"}, {"enabled", true}}));
    EXPECT_EQ(window["controls"]["StartMenuGroup"]["text"], "Tamsel Orry");

    // A fault of the script inside the install handler's message box still ends with 3.
    const auto fault = Setup({"click OKBTN", "click CancelBTN"});
    EXPECT_EQ(fault.status, 3) << fault.err;
    EXPECT_EQ(fault.Kinds(), (std::vector<std::string>{"window", "msgbox", "error", "exit"}));
}

TEST_F(ScriptedProgramsTest, InstalledProgramsRunFromTheMachine) {
    const auto install = Setup({"click OKBTN", "answer No"});
    ASSERT_EQ(install.status, 0) << install.err;
    EXPECT_TRUE(install.EventsOf("start").empty());
    const auto box = install.EventsOf("msgbox");
    ASSERT_EQ(box.size(), 1u);
    EXPECT_EQ(box[0]["buttons"], "YesNo");

    // The copies kept their execute permission.
    const auto app = Tool({"run", "C:\\Program Files\\Tamsel Orry\\TamselOrry.exe"});
    EXPECT_EQ(app.status, 0) << app.err;
    EXPECT_EQ(app.out, "Tamsel Orry is running from C:\\Program Files\\Tamsel Orry\n");

    // `run` passes the scripted front end on to the uninstaller.
    const auto scratchScript = HostDir() / "no.txt";
    const auto log = HostDir() / "uninstall.jsonl";
    WriteScript(scratchScript, {"click NoButton"});
    const auto uninstall =
        Tool({"run", "C:\\Program Files\\Tamsel Orry\\uninstall.exe"},
             {{"TAMSEL_UI", "script:" + scratchScript.string()}, {"TAMSEL_UI_LOG", log.string()}});
    EXPECT_EQ(uninstall.status, 0) << uninstall.err;
    const auto events = ReadEventLog(log);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front()["name"], "Remove");
    EXPECT_EQ(events.back(), nlohmann::json({{"event", "exit"}, {"status", 0}}));
}

TEST_F(ScriptedProgramsTest, AnsweringYesStartsTheApplication) {
    const auto run = Setup({"click OKBTN", "answer Yes"});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto starts = run.EventsOf("start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0]["command"], "C:\\Program Files\\Tamsel Orry\\TamselOrry.exe");
    EXPECT_EQ(run.Kinds().back(), "exit");
}

}  // namespace
}  // namespace tamsel::test
