#pragma once

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "frontend/fltk/PixelLayout.h"
#include "support/ChildProcess.h"

namespace tamsel::test {

// A rectangle on the screen, from a geometry log entry's "x", "y", "w" and "h".
using ScreenRect = fltk::PixelRect;
inline ScreenRect RectOf(const nlohmann::json& entry) {
    return {entry.at("x"), entry.at("y"), entry.at("w"), entry.at("h")};
}

// A virtual X display of its own for one test (Xvfb at 96 dots per inch, stopped when the object
// goes away), and the user's hands on it: xdotool, and ImageMagick for screenshots. Waits give up
// after a limit that guards against a hang; a healthy run needs a fraction of it.
class XvfbDisplay {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    // Nothing, with the reason in *problem, when a tool is missing or Xvfb does not come up.
    static std::unique_ptr<XvfbDisplay> Start(std::string* problem) {
        if (RunProcess({"sh", "-c", "command -v Xvfb xdotool import"}).status != 0) {
            *problem = "Xvfb, xdotool or ImageMagick is not installed (scripts/install-deps)";
            return nullptr;
        }
        // Xvfb picks a free display number itself and writes it to fd 3, ending with a line
        // end, once it accepts connections: tests that start servers at once never share one.
        // The shell that starts it writes "pid " and Xvfb's process id to the same pipe.
        const std::string start = "Xvfb -displayfd 3 -screen 0 " + std::to_string(kWidth) + "x" +
                                  std::to_string(kHeight) +
                                  "x24 -dpi 96 -nolisten tcp 3>&1 >/dev/null 2>&1 & echo pid $!";
        FILE* out = popen(start.c_str(), "r");
        if (out == nullptr) return nullptr;
        auto display = std::unique_ptr<XvfbDisplay>(new XvfbDisplay);
        char line[64];
        while ((display->pid_ == 0 || display->name_.empty()) && fgets(line, sizeof line, out)) {
            int number = 0;
            if (std::sscanf(line, "pid %d", &number) == 1) {
                display->pid_ = number;
            } else if (std::sscanf(line, "%d", &number) == 1) {
                display->name_ = ":" + std::to_string(number);
            }
        }
        pclose(out);
        if (display->name_.empty()) *problem = "Xvfb did not come up";
        return display->name_.empty() ? nullptr : std::move(display);
    }
    ~XvfbDisplay() {
        if (pid_ != 0) kill(pid_, SIGTERM);
    }
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // The value for DISPLAY (":93").
    const std::string& Name() const { return name_; }

    // Waits until a window with exactly this title is mapped; its geometry as the X server has
    // it, in the geometry log's terms ("x", "y", "w", "h"), or null. search --sync waits itself.
    nlohmann::json WaitForWindow(const std::string& title) const {
        const std::string shell = Run({"xdotool", "search", "--sync", "--onlyvisible", "--name",
                                       "^" + title + "$", "getwindowgeometry", "--shell"});
        ScreenRect r;
        if (std::sscanf(shell.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &r.x, &r.y, &r.w,
                        &r.h) != 4) {
            return nullptr;
        }
        return {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}};
    }
    // Waits until no window with exactly this title is mapped any more.
    bool WaitForWindowGone(const std::string& title) const {
        for (int poll = 0; poll < 400; ++poll) {
            if (Run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}).empty()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    // Clicks the middle of a widget of a window (widget coordinates relative to the window).
    void ClickIn(const ScreenRect& window, const ScreenRect& widget) const {
        Run({"xdotool", "mousemove", "--sync", std::to_string(window.x + widget.x + widget.w / 2),
             std::to_string(window.y + widget.y + widget.h / 2), "click", "1"});
    }
    // Moves the pointer into the window (keys go to the window under the pointer when no
    // window manager runs) and presses a key ("Escape", "Return").
    void PressKey(const ScreenRect& window, const std::string& key) const {
        Run({"xdotool", "mousemove", "--sync", std::to_string(window.x + 2),
             std::to_string(window.y + 2), "key", key});
    }
    // Writes the part of the screen that a window covers as a PNG file.
    bool Screenshot(const ScreenRect& window, const std::filesystem::path& png) const {
        std::filesystem::create_directories(png.parent_path());
        Run({"import", "-window", "root", "-crop",
             std::to_string(window.w) + "x" + std::to_string(window.h) + "+" +
                 std::to_string(window.x) + "+" + std::to_string(window.y),
             "+repage", png.string()});
        return std::filesystem::exists(png) && std::filesystem::file_size(png) > 0;
    }

  private:
    XvfbDisplay() = default;
    std::string Run(const std::vector<std::string>& command) const {
        return RunProcess(command, {{"DISPLAY", name_}}, 30).out;
    }
    pid_t pid_ = 0;
    std::string name_;
};

}  // namespace tamsel::test
