#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "frontend/fltk/PixelLayout.h"
#include "support/ChildProcess.h"

namespace tamsel::test {

// A rectangle on the screen, as the desktop front end measures it; from a geometry log entry's
// "x", "y", "w" and "h".
using ScreenRect = fltk::PixelRect;
inline ScreenRect RectOf(const nlohmann::json& entry) {
    return {entry.at("x"), entry.at("y"), entry.at("w"), entry.at("h")};
}
// The four numbers of a rectangle, for comparing two.
inline std::vector<int> Corners(const ScreenRect& r) { return {r.x, r.y, r.w, r.h}; }

// A virtual X display of its own for one test (Xvfb at 96 dots per inch, stopped when the object
// goes away), and the user's hands on it: xdotool, and ImageMagick for screenshots. Waits give up
// after a limit that guards against a hang; a healthy run needs a fraction of it.
class XvfbDisplay {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    // Nothing, with the reason in *problem, when a tool is missing or Xvfb does not come up.
    static std::unique_ptr<XvfbDisplay> Start(std::string* problem) {
        for (const std::string tool : {"Xvfb", "xdotool", "import"}) {
            if (RunProcess({"sh", "-c", "command -v " + tool}).status != 0) {
                *problem = tool + " is not installed (scripts/install-deps)";
                return nullptr;
            }
        }
        // Xvfb picks a free display number itself and writes it to fd 3, ending with a line
        // end, once it accepts connections: tests that start servers at once never share one.
        int ready[2];
        if (pipe(ready) != 0) return nullptr;
        const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
        const char* argv[] = {"Xvfb", "-displayfd", "3",         "-screen", "0",    screen.c_str(),
                              "-dpi", "96",         "-nolisten", "tcp",     nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
        pid_t pid = 0;
        const int failed =
            posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        std::string number;
        char c = 0;
        pollfd wait = {ready[0], POLLIN, 0};
        while (failed == 0 && poll(&wait, 1, 15000) > 0 && read(ready[0], &c, 1) == 1 &&
               c != '\n') {
            number += c;
        }
        close(ready[0]);
        auto display = std::unique_ptr<XvfbDisplay>(new XvfbDisplay(failed == 0 ? pid : 0));
        display->name_ = ":" + number;
        if (number.empty()) *problem = "Xvfb did not come up";
        return number.empty() ? nullptr : std::move(display);
    }
    ~XvfbDisplay() {
        if (pid_ == 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // The value for DISPLAY (":93").
    const std::string& Name() const { return name_; }

    // Waits until a window with exactly this title is mapped; its geometry as the X server has
    // it. search --sync waits itself; --shell prints X=, Y=, WIDTH=, HEIGHT= lines.
    std::optional<ScreenRect> WaitForWindow(const std::string& title) const {
        const std::string shell = Run({"xdotool", "search", "--sync", "--onlyvisible", "--name",
                                       "^" + title + "$", "getwindowgeometry", "--shell"});
        std::smatch m;
        if (!std::regex_search(shell, m,
                               std::regex("X=(-?\\d+)\nY=(-?\\d+)\nWIDTH=(\\d+)\n"
                                          "HEIGHT=(\\d+)"))) {
            return std::nullopt;
        }
        return ScreenRect{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
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
    explicit XvfbDisplay(pid_t pid) : pid_(pid) {}
    std::string Run(const std::vector<std::string>& command) const {
        return RunProcess(command, {{"DISPLAY", name_}}, 30).out;
    }
    pid_t pid_;
    std::string name_;
};

}  // namespace tamsel::test
