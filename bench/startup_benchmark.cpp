// Setup's start-up to its first waiting window, on a machine whose Start menu holds many
// groups against the same machine with none of them: Setup runs under the scripted front end,
// which plays "click CancelBTN" (E&xit) as soon as the window waits, so the figure is the
// start-up plus an exit that does nothing. Also prints the cost per group at two sizes, which
// stays the same when the start-up is linear in the number of groups.
// Usage: startup_benchmark [ROUNDS] [GROUPS]   (defaults 21 rounds, 1,000 groups)
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace fs = std::filesystem;
using namespace tamsel::bench;

namespace {

const char* const kProgramsFolder =
    "drives/c/Users/User/AppData/Roaming/Microsoft/Windows/Start Menu/Programs";

}  // namespace

int main(int argc, char** argv) try {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const int groups = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    const fs::path build = BuildFolder();
    const ScratchFolder scratch(build);
    const fs::path script = scratch.Path() / "exit.txt";
    std::ofstream(script) << "click CancelBTN\n";
    const fs::path tool = build / "tools" / "tamsel-sandbox";
    const fs::path setup = build / "dist" / "Setup";

    // One machine per group count, made before anything is timed.
    auto machineWith = [&](int count) {
        const fs::path machine = scratch.Path() / ("machine" + std::to_string(count));
        RunProgram({tool.string(), "init"}, {"TAMSEL_SANDBOX=" + machine.string()});
        for (int i = 0; i < count; ++i) {
            fs::create_directory(machine / kProgramsFolder / ("Group " + std::to_string(i)));
        }
        return machine;
    };
    auto startUp = [&](const fs::path& machine) {
        return [&, machine]() {
            return TimeSeconds([&] {
                RunProgram({setup.string()}, {"TAMSEL_SANDBOX=" + machine.string(),
                                              "TAMSEL_UI=script:" + script.string()});
            });
        };
    };
    const fs::path none = machineWith(0);
    const fs::path some = machineWith(groups);
    const fs::path many = machineWith(groups * 4);
    startUp(none)();  // the first run of a program pays for loading it from disk
    CompareAndPrint("Setup start-up to its first waiting window, " + std::to_string(groups) +
                        " Start-menu groups",
                    "the same with none", rounds, startUp(some), startUp(none), 1e3, "ms");

    std::vector<double> base, withSome, withMany;
    for (int round = 0; round < rounds; ++round) {
        base.push_back(startUp(none)());
        withSome.push_back(startUp(some)());
        withMany.push_back(startUp(many)());
    }
    const double perGroupSome = (Median(withSome) - Median(base)) / groups * 1e6;
    const double perGroupMany = (Median(withMany) - Median(base)) / (groups * 4) * 1e6;
    std::printf("  cost per group: %.2f us with %d groups, %.2f us with %d groups\n", perGroupSome,
                groups, perGroupMany, groups * 4);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "startup_benchmark: %s\n", error.what());
    return 1;
}
