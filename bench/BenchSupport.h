// What the benchmark programs share: timing, child processes, scratch folders and the printed
// table line. Each benchmark measures its work and its baseline in turns, in the same run, and
// prints the median of each with their ratio.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tamsel::bench {

// Seconds of the wall clock that a piece of work takes.
double TimeSeconds(const std::function<void()>& work);

double Median(std::vector<double> samples);

// Runs a program with extra environment entries ("NAME=VALUE"), output to /dev/null, and waits
// for it. Throws std::runtime_error when it cannot be started or does not exit with 0.
void RunProgram(const std::vector<std::string>& command,
                const std::vector<std::string>& environment = {});

// A new folder under the given parent (the system's temporary folder by default), removed with
// everything in it when the object goes.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::filesystem::path& parent = {});
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The folder of the running benchmark program's build (…/build/host), to find dist/ and tools/.
std::filesystem::path BuildFolder();

// Interleaves `rounds` runs of ours and of the baseline (each returning its own figure), then
// prints "work | ours | baseline | ratio" with the medians, scaled by `scale` into `unit`.
void CompareAndPrint(const std::string& work, const std::string& baselineName, int rounds,
                     const std::function<double()>& ours, const std::function<double()>& baseline,
                     double scale, const std::string& unit);

}  // namespace tamsel::bench
