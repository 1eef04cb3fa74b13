#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
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

// The virtual X display that ctest runs the desktop tests on (xvfb-run, started by
// tests/CMakeLists.txt with this screen size at 96 dots per inch when it finds xdotool and
// ImageMagick too), and the user's hands on it: xdotool, and ImageMagick for screenshots. Waits
// give up after a limit that guards against a hang; a healthy run needs a fraction of it.
class XvfbDisplay {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

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
    static std::string Run(const std::vector<std::string>& command) {
        return RunProcess(command, {}, 30).out;
    }
};

}  // namespace tamsel::test
