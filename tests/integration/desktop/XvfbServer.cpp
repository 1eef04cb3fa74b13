#include "XvfbServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace tamsel::test {

namespace {

constexpr int kFirstDisplay = 91;
constexpr int kLastDisplay = 160;
constexpr auto kStartLimit = std::chrono::seconds(15);

bool DisplayInUse(int n) {
    return std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock");
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return "";
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) {
            return dir + "/" + program;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return "";
}

std::unique_ptr<XvfbServer> XvfbServer::Start(std::string* problem) {
    if (!OnPath("Xvfb")) {
        *problem = "Xvfb is not installed (Debian package xvfb)";
        return nullptr;
    }
    for (int n = kFirstDisplay; n <= kLastDisplay; ++n) {
        if (DisplayInUse(n)) continue;
        const std::string display = ":" + std::to_string(n);
        const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
        std::vector<std::string> args = {"Xvfb", display, "-screen",   "0",  screen,
                                         "-dpi", "96",    "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            *problem = "Xvfb could not be started";
            return nullptr;
        }
        const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        bool exited = false;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                exited = true;  // another server took the number meanwhile
                break;
            }
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) {
                return std::unique_ptr<XvfbServer>(new XvfbServer(pid, display));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!exited) {
            Stop(pid);
            *problem = "Xvfb did not come up on " + display;
            return nullptr;
        }
    }
    *problem = "no free X display number";
    return nullptr;
}

XvfbServer::~XvfbServer() { Stop(pid_); }

}  // namespace tamsel::test
