#include "ScreenDriver.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "XvfbServer.h"
#include "support/ChildProcess.h"

namespace tamsel::test {

namespace {

// Limits that guard against a hang; a healthy run needs a fraction of them.
constexpr auto kWaitLimit = std::chrono::seconds(20);
constexpr auto kPoll = std::chrono::milliseconds(50);

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    // A line still being written has no line end yet; it is read on the next poll.
    while (std::getline(in, line)) {
        if (!in.eof()) lines.push_back(line);
    }
    return lines;
}

}  // namespace

ScreenRect RectOf(const nlohmann::json& entry) {
    return {entry.at("x").get<int>(), entry.at("y").get<int>(), entry.at("w").get<int>(),
            entry.at("h").get<int>()};
}

std::string ScreenDriver::Run(std::vector<std::string> command) const {
    command.front() = FindOnPath(command.front());
    return RunProcess(command, {{"DISPLAY", display_}}, 30).out;
}

std::optional<ScreenRect> ScreenDriver::WaitForWindow(const std::string& title) const {
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string ids =
            Run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
        std::istringstream idList(ids);
        std::string id;
        if (idList >> id) {
            // --shell prints X=, Y=, WIDTH=, HEIGHT= lines.
            std::istringstream geometry(Run({"xdotool", "getwindowgeometry", "--shell", id}));
            ScreenRect rect;
            std::string line;
            while (std::getline(geometry, line)) {
                const auto eq = line.find('=');
                if (eq == std::string::npos) continue;
                const std::string key = line.substr(0, eq);
                const int value = std::atoi(line.c_str() + eq + 1);
                if (key == "X") rect.x = value;
                if (key == "Y") rect.y = value;
                if (key == "WIDTH") rect.w = value;
                if (key == "HEIGHT") rect.h = value;
            }
            if (rect.w > 0) return rect;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return std::nullopt;
}

bool ScreenDriver::WaitForWindowGone(const std::string& title) const {
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string ids =
            Run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
        if (ids.find_first_not_of(" \n") == std::string::npos) return true;
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

void ScreenDriver::ClickIn(const ScreenRect& window, const ScreenRect& widget) const {
    const int x = window.x + widget.x + widget.w / 2;
    const int y = window.y + widget.y + widget.h / 2;
    Run({"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y)});
    Run({"xdotool", "click", "1"});
}

void ScreenDriver::PressKey(const ScreenRect& window, const std::string& key) const {
    Run({"xdotool", "mousemove", "--sync", std::to_string(window.x + 2),
         std::to_string(window.y + 2)});
    Run({"xdotool", "key", key});
}

bool ScreenDriver::Screenshot(const ScreenRect& window, const std::filesystem::path& png) const {
    std::filesystem::create_directories(png.parent_path());
    const std::string crop = std::to_string(window.w) + "x" + std::to_string(window.h) + "+" +
                             std::to_string(window.x) + "+" + std::to_string(window.y);
    Run({"import", "-window", "root", "-crop", crop, "+repage", png.string()});
    return std::filesystem::exists(png) && std::filesystem::file_size(png) > 0;
}

std::size_t LogLines(const std::filesystem::path& log) { return ReadLines(log).size(); }

std::optional<nlohmann::json> WaitForLogEntry(
    const std::filesystem::path& log, std::size_t skip,
    const std::function<bool(const nlohmann::json&)>& match, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto lines = ReadLines(log);
        for (std::size_t i = skip; i < lines.size(); ++i) {
            const auto entry = nlohmann::json::parse(lines[i], nullptr, false);
            if (!entry.is_discarded() && match(entry)) return entry;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return std::nullopt;
}

}  // namespace tamsel::test
