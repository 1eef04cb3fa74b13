// Start-up of Setup with the desktop front end: the time from starting the program to its
// window being shown, on a new sandbox machine. Prints figures; needs Xvfb when DISPLAY is not
// set. Usage: startup_benchmark [RUNS]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

pid_t Spawn(std::vector<std::string> args, const std::vector<std::string>& extraEnvironment,
            const std::string& errorFile = "/dev/null") {
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> env(extraEnvironment);
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

bool LogHasWindow(const fs::path& log) {
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("\"kind\":\"window\"") != std::string::npos) return true;
    }
    return false;
}

// Starts Xvfb on a free display number; -1 when it cannot.
pid_t StartXvfb(std::string& display) {
    for (int n = 91; n < 160; ++n) {
        if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
            fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) {
            continue;
        }
        display = ":" + std::to_string(n);
        const pid_t pid = Spawn(
            {"Xvfb", display, "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"},
            {});
        if (pid < 0) return -1;
        for (int i = 0; i < 300; ++i) {
            if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) return pid;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Stop(pid);
        return -1;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const fs::path setup =
        fs::canonical("/proc/self/exe").parent_path().parent_path() / "dist" / "Setup";
    if (!fs::exists(setup)) {
        std::fprintf(stderr, "startup_benchmark: %s is not built\n", setup.c_str());
        return 1;
    }
    std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    pid_t xvfb = -1;
    if (display.empty()) {
        xvfb = StartXvfb(display);
        if (xvfb < 0) {
            std::fprintf(stderr, "startup_benchmark: no DISPLAY and Xvfb could not be started\n");
            return 1;
        }
    }
    const fs::path scratch =
        fs::temp_directory_path() / ("startup_benchmark." + std::to_string(getpid()));
    fs::create_directories(scratch);
    const fs::path log = scratch / "geometry.jsonl";

    std::vector<double> millis;
    for (int run = 0; run < runs; ++run) {
        fs::remove(log);
        const auto start = Clock::now();
        const pid_t pid =
            Spawn({setup.string()},
                  {"DISPLAY=" + display, "TAMSEL_SANDBOX=" + (scratch / "machine").string(),
                   "TAMSEL_UI_GEOMETRY_LOG=" + log.string()});
        if (pid < 0) break;
        const auto limit = start + std::chrono::seconds(30);
        while (!LogHasWindow(log) && Clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        const bool shown = LogHasWindow(log);
        const auto end = Clock::now();
        Stop(pid);
        if (!shown) {
            std::ifstream errors(scratch / "stderr.txt");
            const std::string text(std::istreambuf_iterator<char>(errors), {});
            std::fprintf(stderr, "startup_benchmark: run %d showed no window: %s\n", run + 1,
                         text.c_str());
            continue;
        }
        // The first run also makes the new sandbox machine; it is reported on its own.
        millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    fs::remove_all(scratch);
    if (xvfb > 0) Stop(xvfb);
    if (millis.empty()) return 1;

    std::printf("Setup start-up to a shown window (desktop front end, display %s)\n",
                display.c_str());
    std::printf("  first run (makes the sandbox machine): %8.1f ms\n", millis.front());
    std::vector<double> rest(millis.begin() + 1, millis.end());
    if (!rest.empty()) {
        std::sort(rest.begin(), rest.end());
        std::printf("  later runs: %zu, min %8.1f ms, median %8.1f ms, max %8.1f ms\n", rest.size(),
                    rest.front(), rest[rest.size() / 2], rest.back());
    }
    return 0;
}
