#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
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

constexpr auto kStartLimit = std::chrono::seconds(15);

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
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (failed != 0) {
        close(ready[0]);
        *problem = "Xvfb could not be started";
        return nullptr;
    }

    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd wait = {ready[0], POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0) continue;
        char c = 0;
        if (read(ready[0], &c, 1) != 1 || c == '\n') break;  // closed, or the number is complete
        number += c;
    }
    close(ready[0]);
    if (number.empty()) {
        Stop(pid);
        *problem = "Xvfb did not come up";
        return nullptr;
    }
    return std::unique_ptr<XvfbServer>(new XvfbServer(pid, ":" + number));
}

XvfbServer::~XvfbServer() { Stop(pid_); }

}  // namespace tamsel::test
