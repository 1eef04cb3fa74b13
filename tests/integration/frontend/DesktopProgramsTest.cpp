// Setup and Uninstall with the desktop front end on a virtual X display: the windows and
// message boxes where they were designed, screenshots of each, and real clicks that leave the
// machine as the scripted front end leaves it.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "ScreenDriver.h"
#include "XvfbServer.h"
#include "common/ui/Application.h"
#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SandboxMachine.h"
#include "setup/Installer.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"
#include "uninstall/Remove.h"

namespace tamsel::test {
namespace {

using namespace std::chrono_literals;

constexpr int kTolerancePixels = 2;
constexpr int kProgramLimitSeconds = 90;  // a guard against a hang, never a measure

// Everything a program can leave on a machine, as text that two machines can be compared by.
std::string MachineState(const std::filesystem::path& machine) {
    std::string state = ExportRegFile(sandbox::SandboxMachine::Open(machine)->GetSqliteRegistry());
    for (const auto& entry : DriveListing(machine)) state += entry + "\n";
    return state;
}

class DesktopProgramsTest : public SandboxTest {
  protected:
    void SetUp() override {
        for (const char* program : {"dist/Setup", "dist/uninstall.exe", "tools/tamsel-sandbox"}) {
            if (!std::filesystem::exists(BuiltFile(program))) {
                GTEST_SKIP() << BuiltFile(program) << " is not built";
            }
        }
        for (const char* tool : {"xdotool", "import"}) {
            if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (scripts/install-deps)";
        }
        std::string problem;
        xvfb_ = XvfbServer::Start(&problem);
        if (!xvfb_) GTEST_SKIP() << problem;
        screen_ = std::make_unique<ScreenDriver>(xvfb_->Display());
        log_ = logFolder_.Path() / "geometry.jsonl";
    }

    // Starts a program with the desktop front end; the future gives its result when it ends.
    std::future<ProcessResult> StartDesktop(const std::vector<std::string>& command) {
        const EnvironmentChanges env = {{"DISPLAY", xvfb_->Display()},
                                        {"TAMSEL_SANDBOX", MachineDir().string()},
                                        {"TAMSEL_UI", std::nullopt},
                                        {"TAMSEL_UI_GEOMETRY_LOG", log_.string()}};
        return std::async(std::launch::async, [command, env] {
            return RunProcess(command, env, kProgramLimitSeconds);
        });
    }

    std::future<ProcessResult> StartUninstaller() {
        return StartDesktop(
            {BuiltFile("tools/tamsel-sandbox").string(), "run", kInstalledUninstaller});
    }

    // The next window of a form or message box with a title, once it is on the screen.
    nlohmann::json WaitForShown(const std::string& kind, const std::string& key,
                                const std::string& value, std::size_t skip) {
        const auto entry = WaitForLogEntry(log_, skip, [&](const nlohmann::json& e) {
            return e.value("kind", "") == kind && e.value(key, "") == value;
        });
        if (!entry) {
            ADD_FAILURE() << "no " << kind << " " << value << " was shown";
            return {};
        }
        const std::string title =
            kind == "window" ? entry->value("caption", "") : entry->value("title", "");
        const auto onScreen = screen_->WaitForWindow(title);
        EXPECT_TRUE(onScreen.has_value()) << title << " never appeared on the display";
        if (onScreen) {
            // The X server has the window where the front end says it put it.
            const ScreenRect logged = RectOf(entry->at("window"));
            EXPECT_EQ(onScreen->x, logged.x) << title;
            EXPECT_EQ(onScreen->y, logged.y) << title;
            EXPECT_EQ(onScreen->w, logged.w) << title;
            EXPECT_EQ(onScreen->h, logged.h) << title;
        }
        return *entry;
    }

    // Compares a shown window with the design of its form: client size, centring, each
    // control's rectangle within two pixels of twips / 15, and the tab order.
    void ExpectLayout(const nlohmann::json& shown, const Form& design) {
        ASSERT_FALSE(shown.is_null());
        const std::string& form = design.Name();
        EXPECT_EQ(shown.value("caption", ""), design.caption);
        ASSERT_DOUBLE_EQ(shown.value("pixelsPerInch", 0.0), 96.0) << "Xvfb runs at 96 dpi";
        const auto near = [](int pixels, int twips) {
            return std::abs(pixels - static_cast<int>(std::lround(twips / 15.0))) <=
                   kTolerancePixels;
        };
        const ScreenRect window = RectOf(shown.at("window"));
        EXPECT_TRUE(near(window.w, design.clientWidthTwips)) << form << " width " << window.w;
        EXPECT_TRUE(near(window.h, design.clientHeightTwips)) << form << " height " << window.h;
        EXPECT_LE(std::abs(window.x - (XvfbServer::kWidth - window.w) / 2), 1) << "centred";
        EXPECT_LE(std::abs(window.y - (XvfbServer::kHeight - window.h) / 2), 1) << "centred";

        const auto& controls = shown.at("controls");
        ASSERT_EQ(controls.size(), design.Controls().size()) << form;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const Control& want = *design.Controls()[i];
            const TwipsRect& at = want.Rect();
            EXPECT_EQ(controls[i].value("name", ""), want.Name()) << form << " tab order at " << i;
            const ScreenRect r = RectOf(controls[i]);
            EXPECT_TRUE(near(r.x, at.left) && near(r.y, at.top) && near(r.w, at.width) &&
                        near(r.h, at.height))
                << form << "." << want.Name() << " at " << r.x << "," << r.y << " " << r.w << "x"
                << r.h;
        }
    }

    ScreenRect ControlRect(const nlohmann::json& shown, const std::string& name) {
        for (const auto& control : shown.at("controls")) {
            if (control.value("name", "") == name) return RectOf(control);
        }
        ADD_FAILURE() << "no control " << name;
        return {};
    }

    ScreenRect ButtonRect(const nlohmann::json& box, const std::string& result) {
        for (const auto& button : box.at("buttons")) {
            if (button.value("result", "") == result) return RectOf(button);
        }
        ADD_FAILURE() << "no button " << result;
        return {};
    }

    void Click(const nlohmann::json& shown, const ScreenRect& widget) {
        screen_->ClickIn(RectOf(shown.at("window")), widget);
    }

    void Screenshot(const nlohmann::json& shown, const std::string& name) {
        const auto png = BuiltFile("screenshots/desktop") / (name + ".png");
        EXPECT_TRUE(screen_->Screenshot(RectOf(shown.at("window")), png)) << png;
    }

    // A key pressed the moment a window has appeared can reach the X server before the window
    // takes keyboard input (there is no window manager to hand it the focus), so the key is
    // pressed again until what it does has happened.
    bool PressKeyUntil(const nlohmann::json& shown, const std::string& key,
                       const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            screen_->PressKey(RectOf(shown.at("window")), key);
            if (done()) return true;
        }
        return false;
    }

    static bool EndsWithin(std::future<ProcessResult>& run, std::chrono::seconds limit) {
        return run.wait_for(limit) == std::future_status::ready;
    }

    static void ExpectEndsWith(std::future<ProcessResult>& run, int status) {
        const ProcessResult result = run.get();
        EXPECT_EQ(result.status, status) << result.problem << result.err;
    }

    // The forms as the programs make them, for their design; they are never shown here.
    SilentUserInterface ui_;
    Application designs_{ui_, "design"};
    Installer installer_{designs_, *machine_};
    Remove remove_{designs_, *machine_};

    std::unique_ptr<XvfbServer> xvfb_;
    std::unique_ptr<ScreenDriver> screen_;
    ScratchDirectory logFolder_;
    std::filesystem::path log_;
};

TEST_F(DesktopProgramsTest, InstallsAndRemovesByClickingAsTheScriptedFrontEndDoes) {
    // The same installation and removal played by a script on a second machine.
    ScratchDirectory scriptedFolder;
    const auto scripted = scriptedFolder.Path() / "machine";
    sandbox::SandboxMachine::Init(scripted);

    auto setup = StartDesktop({BuiltFile("dist/Setup").string()});
    const auto installer = WaitForShown("window", "form", "Installer", 0);
    ExpectLayout(installer, installer_);
    Screenshot(installer, "installer");

    // The Installer has no cancel button: Esc must not close it.
    screen_->PressKey(RectOf(installer.at("window")), "Escape");

    std::size_t skip = LogLines(log_);
    Click(installer, ControlRect(installer, "ChangeDirBTN"));
    const auto chooser = WaitForShown("window", "form", "ChooseDirFRM", skip);
    ExpectLayout(chooser, installer_.DirectoryChooser());
    Screenshot(chooser, "install-to");
    Click(chooser, ControlRect(chooser, "CancelButton"));
    ASSERT_TRUE(screen_->WaitForWindowGone("Install To..."));

    skip = LogLines(log_);
    Click(installer, ControlRect(installer, "OKBTN"));
    const auto finished = WaitForShown("messageBox", "title", "Tamsel Orry Setup Completed!", skip);
    ASSERT_FALSE(finished.is_null());
    EXPECT_EQ(finished.value("text", ""),
              "Tamsel Orry Setup has finished.\r\nDo you want to run Tamsel Orry now?");
    EXPECT_EQ(finished.value("icon", ""), "none");
    ASSERT_EQ(finished.at("buttons").size(), 2u);
    EXPECT_EQ(finished.at("buttons")[0].value("result", ""), "Yes");
    EXPECT_TRUE(finished.at("buttons")[0].value("default", false)) << "Yes is the default";
    Screenshot(finished, "setup-completed");
    Click(finished, ButtonRect(finished, "No"));
    ExpectEndsWith(setup, 0);

    const ScriptRun scriptedSetup =
        RunScripted({BuiltFile("dist/Setup").string()}, scripted, {"click OKBTN", "answer No"});
    ASSERT_EQ(scriptedSetup.status, 0) << scriptedSetup.problem << scriptedSetup.err;
    EXPECT_EQ(MachineState(MachineDir()), MachineState(scripted));

    auto uninstall = StartUninstaller();
    skip = LogLines(log_);
    const auto remove = WaitForShown("window", "form", "Remove", skip);
    ExpectLayout(remove, remove_);
    Screenshot(remove, "uninstall");
    Click(remove, ControlRect(remove, "OKButton"));
    const auto complete =
        WaitForShown("messageBox", "title", "Tamsel Orry Uninstall Complete!", skip);
    ASSERT_FALSE(complete.is_null());
    EXPECT_EQ(complete.value("text", ""),
              "Tamsel Orry Uninstall has completed.\r\nSome elements could not be deleted "
              "now.\r\nThey will be deleted when you reboot.");
    Screenshot(complete, "uninstall-completed");
    Click(complete, ButtonRect(complete, "OK"));
    ExpectEndsWith(uninstall, 0);

    const ScriptRun scriptedUninstall =
        RunScripted({BuiltFile("tools/tamsel-sandbox").string(), "run", kInstalledUninstaller},
                    scripted, {"click OKButton", "answer OK"});
    ASSERT_EQ(scriptedUninstall.status, 0) << scriptedUninstall.problem << scriptedUninstall.err;
    EXPECT_EQ(MachineState(MachineDir()), MachineState(scripted));
}

TEST_F(DesktopProgramsTest, KeyboardRolesOfTheUninstallWindow) {
    InstallWithSetup();
    const std::string before = MachineState(MachineDir());

    // Esc answers "No" (its cancel role): the program ends and removes nothing.
    auto declined = StartUninstaller();
    const auto remove = WaitForShown("window", "form", "Remove", 0);
    ASSERT_FALSE(remove.is_null());
    EXPECT_TRUE(PressKeyUntil(remove, "Escape", [&] { return EndsWithin(declined, 5s); }));
    ExpectEndsWith(declined, 0);
    EXPECT_EQ(MachineState(MachineDir()), before);

    // Enter presses the focused "Yes", which has the focus when the window opens; Enter on
    // the completion box presses its OK.
    auto accepted = StartUninstaller();
    std::size_t skip = LogLines(log_);
    const auto again = WaitForShown("window", "form", "Remove", skip);
    ASSERT_FALSE(again.is_null());
    const auto completionShown = [&] {
        return WaitForLogEntry(
                   log_, skip,
                   [](const nlohmann::json& e) {
                       return e.value("title", "") == "Tamsel Orry Uninstall Complete!";
                   },
                   5s)
            .has_value();
    };
    EXPECT_TRUE(PressKeyUntil(again, "Return", completionShown));
    const auto complete =
        WaitForShown("messageBox", "title", "Tamsel Orry Uninstall Complete!", skip);
    ASSERT_FALSE(complete.is_null());
    EXPECT_TRUE(PressKeyUntil(complete, "Return", [&] { return EndsWithin(accepted, 5s); }));
    ExpectEndsWith(accepted, 0);
    EXPECT_NE(MachineState(MachineDir()), before);
}

}  // namespace
}  // namespace tamsel::test
