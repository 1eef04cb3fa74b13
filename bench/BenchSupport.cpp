#include "BenchSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <system_error>

extern char** environ;

namespace tamsel::bench {

namespace fs = std::filesystem;

double TimeSeconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

void RunProgram(const std::vector<std::string>& command,
                const std::vector<std::string>& environment) {
    std::vector<std::string> args(command);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> env(environment);
    for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
    std::vector<char*> envp;
    for (auto& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + command[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(command[0] + " failed (status " + std::to_string(status) + ")");
    }
}

ScratchFolder::ScratchFolder(const fs::path& parent) {
    const fs::path base = parent.empty() ? fs::temp_directory_path() : parent;
    std::string pattern = (base / "tamsel-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a folder in " + base.string());
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path BuildFolder() { return fs::canonical("/proc/self/exe").parent_path().parent_path(); }

void CompareAndPrint(const std::string& work, const std::string& baselineName, int rounds,
                     const std::function<double()>& ours, const std::function<double()>& baseline,
                     double scale, const std::string& unit) {
    std::vector<double> oursSamples;
    std::vector<double> baselineSamples;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which goes first, so that neither always meets a warmer or busier machine.
        if (round % 2 == 0) {
            oursSamples.push_back(ours());
            baselineSamples.push_back(baseline());
        } else {
            baselineSamples.push_back(baseline());
            oursSamples.push_back(ours());
        }
    }
    const double oursMedian = Median(oursSamples) * scale;
    const double baselineMedian = Median(baselineSamples) * scale;
    std::printf("| %s | %.1f %s | %s: %.1f %s | %.2f |\n", work.c_str(), oursMedian, unit.c_str(),
                baselineName.c_str(), baselineMedian, unit.c_str(),
                baselineMedian > 0 ? oursMedian / baselineMedian : 0.0);
    std::fflush(stdout);
}

}  // namespace tamsel::bench
