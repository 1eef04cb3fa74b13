#include "XvfbDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

#include "support/ChildProcess.h"

extern char** environ;

namespace tamsel::test {

ScreenRect RectOf(const nlohmann::json& entry) {
    return {entry.at("x").get<int>(), entry.at("y").get<int>(), entry.at("w").get<int>(),
            entry.at("h").get<int>()};
}

std::unique_ptr<XvfbDisplay> XvfbDisplay::Start(std::string* problem) {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        if (RunProcess({"sh", "-c", "command -v " + std::string(tool)}).status != 0) {
            *problem = std::string(tool) + " is not installed (scripts/install-deps)";
            return nullptr;
        }
    }
    // Xvfb picks a free display number itself and writes it to the pipe once it accepts
    // connections (-displayfd): tests that start servers at the same time never share one.
    int ready[2];
    if (pipe(ready) != 0) {
        *problem = "no pipe for Xvfb";
        return nullptr;
    }
    const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3",  "-screen",   "0",
                                     screen, "-dpi",       "96", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    // The number ends with a line end; Xvfb closes the pipe when it gives up. The limit guards
    // against a server that hangs.
    std::string number;
    char c = 0;
    pollfd wait = {ready[0], POLLIN, 0};
    while (failed == 0 && poll(&wait, 1, 15000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(ready[0]);
    auto display =
        std::unique_ptr<XvfbDisplay>(new XvfbDisplay(failed == 0 ? pid : 0, ":" + number));
    if (failed != 0 || number.empty()) {
        *problem = "Xvfb did not come up";
        return nullptr;
    }
    return display;
}

XvfbDisplay::~XvfbDisplay() {
    if (pid_ == 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::string XvfbDisplay::Run(const std::vector<std::string>& command) const {
    // The limit guards against a hang; a healthy run needs a fraction of it.
    return RunProcess(command, {{"DISPLAY", name_}}, 30).out;
}

std::optional<ScreenRect> XvfbDisplay::WaitForWindow(const std::string& title) const {
    // search --sync waits until the window is mapped; --shell prints X=, Y=, WIDTH=, HEIGHT=.
    const std::string geometry = Run({"xdotool", "search", "--sync", "--onlyvisible", "--name",
                                      "^" + title + "$", "getwindowgeometry", "--shell"});
    std::smatch m;
    if (!std::regex_search(geometry, m,
                           std::regex("X=(-?\\d+)\nY=(-?\\d+)\nWIDTH=(\\d+)\nHEIGHT=(\\d+)"))) {
        return std::nullopt;
    }
    return ScreenRect{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
}

bool XvfbDisplay::WaitForWindowGone(const std::string& title) const {
    for (int poll = 0; poll < 400; ++poll) {
        const std::string ids =
            Run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
        if (ids.find_first_of("0123456789") == std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void XvfbDisplay::ClickIn(const ScreenRect& window, const ScreenRect& widget) const {
    Run({"xdotool", "mousemove", "--sync", std::to_string(window.x + widget.x + widget.w / 2),
         std::to_string(window.y + widget.y + widget.h / 2), "click", "1"});
}

void XvfbDisplay::PressKey(const ScreenRect& window, const std::string& key) const {
    Run({"xdotool", "mousemove", "--sync", std::to_string(window.x + 2),
         std::to_string(window.y + 2), "key", key});
}

bool XvfbDisplay::Screenshot(const ScreenRect& window, const std::filesystem::path& png) const {
    std::filesystem::create_directories(png.parent_path());
    const std::string crop = std::to_string(window.w) + "x" + std::to_string(window.h) + "+" +
                             std::to_string(window.x) + "+" + std::to_string(window.y);
    Run({"import", "-window", "root", "-crop", crop, "+repage", png.string()});
    return std::filesystem::exists(png) && std::filesystem::file_size(png) > 0;
}

}  // namespace tamsel::test
