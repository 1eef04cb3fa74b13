#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::test {

// A rectangle on the screen, in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

ScreenRect RectOf(const nlohmann::json& entry);

// Plays the user on one X display with xdotool and takes screenshots with ImageMagick.
class ScreenDriver {
  public:
    explicit ScreenDriver(std::string display) : display_(std::move(display)) {}

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
    std::string Run(std::vector<std::string> command) const;
    std::string display_;
};

// Waits for the first line of a JSON-lines log, after the first `skip` lines, for which the
// predicate holds; nothing after the time limit.
std::optional<nlohmann::json> WaitForLogEntry(
    const std::filesystem::path& log, std::size_t skip,
    const std::function<bool(const nlohmann::json&)>& match,
    std::chrono::milliseconds limit = std::chrono::seconds(20));
// The number of lines in a log so far.
std::size_t LogLines(const std::filesystem::path& log);

}  // namespace tamsel::test
