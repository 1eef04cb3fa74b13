// Removal of an installation folder of 10,000 files: the uninstaller, driven by a script, on a
// machine where Setup installed the application and 10,000 more files were put into its folder,
// against `find -delete` of the same 10,000 files in a folder of the same disk. The page cache
// is written back (sync) before every timed run. Usage: removal_benchmark [ROUNDS] [FILES]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSupport.h"

namespace fs = std::filesystem;
using namespace tamsel::bench;

namespace {

void PutFiles(const fs::path& folder, int count) {
    for (int i = 0; i < count; ++i) {
        std::ofstream(folder / ("file" + std::to_string(i) + ".dat")) << "data " << i << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) try {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int files = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    const fs::path build = BuildFolder();
    const ScratchFolder scratch(build);
    const fs::path install = scratch.Path() / "install.txt";
    const fs::path remove = scratch.Path() / "remove.txt";
    std::ofstream(install) << "click OKBTN\nanswer No\n";
    std::ofstream(remove) << "click OKButton\nanswer OK\n";

    int round = 0;
    auto ours = [&]() {
        const fs::path machine = scratch.Path() / ("machine" + std::to_string(round++));
        const std::string sandbox = "TAMSEL_SANDBOX=" + machine.string();
        RunProgram({(build / "dist" / "Setup").string()},
                   {sandbox, "TAMSEL_UI=script:" + install.string()});
        const fs::path folder = machine / "drives" / "c" / "Program Files" / "Tamsel Orry";
        PutFiles(folder, files);
        ::sync();
        const double seconds = TimeSeconds([&] {
            RunProgram({(folder / "uninstall.exe").string()},
                       {sandbox, "TAMSEL_UI=script:" + remove.string()});
        });
        if (fs::exists(folder / "file0.dat")) throw std::runtime_error("the files are still there");
        fs::remove_all(machine);
        return seconds;
    };
    auto baseline = [&]() {
        const fs::path folder = scratch.Path() / "plain";
        fs::create_directories(folder);
        PutFiles(folder, files);
        ::sync();
        const double seconds = TimeSeconds([&] {
            RunProgram({"find", folder.string(), "-delete"});
        });
        return seconds;
    };
    CompareAndPrint(
        "Removal of an installation folder of " + std::to_string(files) + " files (scripted)",
        "`find -delete` of the same files", rounds, ours, baseline, 1e3, "ms");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "removal_benchmark: %s\n", error.what());
    return 1;
}
