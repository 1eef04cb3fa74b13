#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::test {

// A rectangle on the screen, in pixels; from a geometry log entry's "x", "y", "w" and "h".
struct ScreenRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};
ScreenRect RectOf(const nlohmann::json& entry);

// A virtual X display of its own for one test (Xvfb at 96 dots per inch, stopped when the object
// goes away), and the user's hands on it: xdotool, and ImageMagick for screenshots.
class XvfbDisplay {
  public:
    // Nothing, with the reason in *problem, when a tool is missing or Xvfb does not come up.
    static std::unique_ptr<XvfbDisplay> Start(std::string* problem);
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // The value for DISPLAY (":93").
    const std::string& Name() const { return name_; }
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    // Waits until a window with exactly this title is mapped; its geometry as the X server has
    // it, or nothing after the time limit.
    std::optional<ScreenRect> WaitForWindow(const std::string& title) const;
    // Waits until no window with exactly this title is mapped any more; false after the limit.
    bool WaitForWindowGone(const std::string& title) const;
    // Clicks the middle of a widget of a window (widget coordinates relative to the window).
    void ClickIn(const ScreenRect& window, const ScreenRect& widget) const;
    // Moves the pointer into the window (keys go to the window under the pointer when no
    // window manager runs) and presses a key ("Escape", "Return").
    void PressKey(const ScreenRect& window, const std::string& key) const;
    // Writes the part of the screen that a window covers as a PNG file.
    bool Screenshot(const ScreenRect& window, const std::filesystem::path& png) const;

  private:
    XvfbDisplay(pid_t pid, std::string name) : pid_(pid), name_(std::move(name)) {}
    std::string Run(const std::vector<std::string>& command) const;
    pid_t pid_;
    std::string name_;
};

}  // namespace tamsel::test
