// Setup and Uninstall with the desktop front end on a virtual X display: the windows and
// message boxes where they were designed, screenshots of each, and real clicks and keys.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "XvfbDisplay.h"
#include "common/ui/Application.h"
#include "setup/Installer.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"
#include "uninstall/Remove.h"

namespace tamsel::test {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// A guard against a hang, never a measure: a loaded machine may take long to show a window.
constexpr int kProgramLimitSeconds = 90;

class DesktopProgramsTest : public SandboxTest {
  protected:
    void SetUp() override {
        for (const char* program : {"dist/Setup", "dist/uninstall.exe", "tools/tamsel-sandbox"}) {
            ASSERT_TRUE(std::filesystem::exists(BuiltFile(program))) << program << " is not built";
        }
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display: xvfb-run, xdotool or ImageMagick is not installed";
    }

    // Starts a program with the desktop front end; the future gives its result when it ends.
    std::future<ProcessResult> StartDesktop(const std::vector<std::string>& command) {
        const EnvironmentChanges env = {{"TAMSEL_SANDBOX", MachineDir().string()},
                                        {"TAMSEL_UI", std::nullopt},
                                        {"TAMSEL_UI_GEOMETRY_LOG", log_.string()}};
        return std::async(std::launch::async, [command, env] {
            return RunProcess(command, env, kProgramLimitSeconds);
        });
    }

    // The index in the geometry log of the first window of a form ("form") or message box
    // ("title") so named that was logged after the last one shown; nothing after the time limit
    // (a guard against a hang). A line still being written is read again on the next look.
    std::optional<std::size_t> WaitForLogged(const std::string& key, const std::string& value,
                                             int limitSeconds = kProgramLimitSeconds) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
        do {
            const auto entries = ReadEventLog(log_);
            for (std::size_t i = shown_; i < entries.size(); ++i) {
                if (entries[i].value(key, "") == value) return i;
            }
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }

    // The next window or message box so named, once it is on the screen where the front end says
    // it put it, compared with its design when one is given; its screenshot is saved as
    // screenshot.png.
    json WaitForShown(const std::string& key, const std::string& value,
                      const std::string& screenshot, const Form* design = nullptr) {
        const auto index = WaitForLogged(key, value);
        if (!index) {
            // The steps that use it fail at once (an exception from the empty entry).
            ADD_FAILURE() << "no " << value << " was shown";
            return {};
        }
        shown_ = *index + 1;
        const json entry = ReadEventLog(log_)[*index];
        const std::string title = entry.value("caption", entry.value("title", ""));
        EXPECT_EQ(display_.WaitForWindow(title), entry.at("window")) << title << " on the display";
        const auto png = BuiltFile("screenshots/desktop") / (screenshot + ".png");
        EXPECT_TRUE(display_.Screenshot(RectOf(entry.at("window")), png)) << png;
        if (design != nullptr) ExpectLayout(entry, *design);
        return entry;
    }

    // Compares a shown window with the design of its form: client size, centring, each
    // control's rectangle within two pixels of twips / 15, and the tab order.
    void ExpectLayout(const json& shown, const Form& design) {
        SCOPED_TRACE(design.Name());
        EXPECT_EQ(shown.value("caption", ""), design.caption);
        ASSERT_DOUBLE_EQ(shown.value("pixelsPerInch", 0.0), 96.0) << "Xvfb runs at 96 dpi";
        const auto near = [](int pixels, int twips) {
            return std::abs(pixels - static_cast<int>(std::lround(twips / 15.0))) <= 2;
        };
        const ScreenRect window = RectOf(shown.at("window"));
        EXPECT_TRUE(near(window.w, design.clientWidthTwips) &&
                    near(window.h, design.clientHeightTwips))
            << "size " << window.w << "x" << window.h;
        EXPECT_LE(std::abs(window.x - (XvfbDisplay::kWidth - window.w) / 2) +
                      std::abs(window.y - (XvfbDisplay::kHeight - window.h) / 2),
                  1)
            << "centred";

        const auto& controls = shown.at("controls");
        ASSERT_EQ(controls.size(), design.Controls().size());
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const Control& want = *design.Controls()[i];
            const TwipsRect& at = want.Rect();
            EXPECT_EQ(controls[i].value("name", ""), want.Name()) << "tab order at " << i;
            const ScreenRect r = RectOf(controls[i]);
            EXPECT_TRUE(near(r.x, at.left) && near(r.y, at.top) && near(r.w, at.width) &&
                        near(r.h, at.height))
                << want.Name() << " at " << r.x << "," << r.y << " " << r.w << "x" << r.h;
        }
    }

    // Clicks the control ("controls", by name) or message box button ("buttons", by result).
    void Click(const json& shown, const std::string& list, const std::string& name) {
        for (const auto& widget : shown.at(list)) {
            if (widget.value("name", widget.value("result", "")) == name) {
                return display_.ClickIn(RectOf(shown.at("window")), RectOf(widget));
            }
        }
        ADD_FAILURE() << "no " << name << " to click";
    }

    // A key pressed the moment a window has appeared can reach the X server before the window
    // takes keyboard input (there is no window manager to hand it the focus), so the key is
    // pressed again until what it does has happened.
    bool PressKeyUntil(const json& shown, const std::string& key,
                       const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            display_.PressKey(RectOf(shown.at("window")), key);
            if (done()) return true;
        }
        return false;
    }
    static std::function<bool()> EndsWithin(std::future<ProcessResult>& run) {
        return [&run] { return run.wait_for(15s) == std::future_status::ready; };
    }
    static void ExpectEndsNormally(std::future<ProcessResult>& run) {
        const ProcessResult result = run.get();
        EXPECT_EQ(result.status, 0) << result.problem << result.err;
    }

    const std::vector<std::string> uninstaller_ = {BuiltFile("tools/tamsel-sandbox").string(),
                                                   "run", kInstalledUninstaller};
    // The forms as the programs make them, for their design; they are never shown here.
    SilentUserInterface ui_;
    Application designs_{ui_, "design"};
    Installer installer_{designs_, *machine_};
    Remove remove_{designs_, *machine_};

    XvfbDisplay display_;
    std::filesystem::path log_ = scratch_.Path() / "geometry.jsonl";
    std::size_t shown_ = 0;  // the log entries up to the last window shown
};

TEST_F(DesktopProgramsTest, WindowsAsDesignedClicksAndKeys) {
    auto setup = StartDesktop({BuiltFile("dist/Setup").string()});
    const auto installer = WaitForShown("form", "Installer", "installer", &installer_);
    // The Installer has no cancel button: Esc must not close it (the chooser would not open).
    display_.PressKey(RectOf(installer.at("window")), "Escape");

    Click(installer, "controls", "ChangeDirBTN");
    const auto chooser =
        WaitForShown("form", "ChooseDirFRM", "install-to", &installer_.DirectoryChooser());
    Click(chooser, "controls", "CancelButton");
    ASSERT_TRUE(display_.WaitForWindowGone("Install To..."));

    Click(installer, "controls", "OKBTN");
    const auto finished = WaitForShown("title", "Tamsel Orry Setup Completed!", "setup-completed");
    // Yes first, and the default.
    EXPECT_EQ(finished.at("buttons")[0].value("result", ""), "Yes");
    EXPECT_TRUE(finished.at("buttons")[0].value("default", false));
    Click(finished, "buttons", "No");
    ExpectEndsNormally(setup);
    const std::string installed = ExportAll();
    EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));

    // Esc answers "No" (the uninstaller's cancel role): the program ends and removes nothing.
    auto declined = StartDesktop(uninstaller_);
    const auto remove = WaitForShown("form", "Remove", "uninstall", &remove_);
    EXPECT_TRUE(PressKeyUntil(remove, "Escape", EndsWithin(declined)));
    ExpectEndsNormally(declined);
    EXPECT_EQ(ExportAll(), installed);

    // Enter presses the focused "Yes", which has the focus when the window opens; Enter on
    // the completion box presses its OK.
    auto accepted = StartDesktop(uninstaller_);
    const auto again = WaitForShown("form", "Remove", "uninstall");
    const std::string completion = "Tamsel Orry Uninstall Complete!";
    EXPECT_TRUE(PressKeyUntil(again, "Return",
                              [&] { return WaitForLogged("title", completion, 15).has_value(); }));
    const auto complete = WaitForShown("title", completion, "uninstall-completed");
    EXPECT_TRUE(PressKeyUntil(complete, "Return", EndsWithin(accepted)));
    ExpectEndsNormally(accepted);
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
}

}  // namespace
}  // namespace tamsel::test
