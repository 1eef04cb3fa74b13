// Install with a 1 GiB "TamselOrry.exe": Setup, driven by a script on a new sandbox machine,
// against `cp` of the same file to a new name on the same disk. Neither syncs the copied data
// (Windows' CopyFile does not either); Setup's registry commits are synced, as always, and
// count for Setup. The page cache is written back (sync) before every timed run, so that no run
// pays for the writing of the one before. Usage: install_benchmark [ROUNDS] [FOLDER]
// (FOLDER: where the 1 GiB files go, by default the build folder's disk).
#include <unistd.h>

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

constexpr std::size_t kFileSize = std::size_t{1} << 30;

// A file of kFileSize bytes that are not all alike, so that no layer can skip them.
void WriteLargeFile(const fs::path& file) {
    std::vector<char> block(std::size_t{1} << 20);
    std::ofstream out(file, std::ios::binary);
    for (std::size_t offset = 0; offset < kFileSize; offset += block.size()) {
        for (std::size_t i = 0; i < block.size(); i += 4096) {
            block[i] = static_cast<char>((offset + i) / 4096);
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

int main(int argc, char** argv) try {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path build = BuildFolder();
    const ScratchFolder scratch(argc > 2 ? fs::path(argv[2]) : build);
    // Setup installs what lies beside it: a copy of it with the two programs.
    const fs::path media = scratch.Path() / "media";
    fs::create_directories(media);
    fs::copy_file(build / "dist" / "Setup", media / "Setup");
    fs::copy_file(build / "dist" / "uninstall.exe", media / "uninstall.exe");
    WriteLargeFile(media / "TamselOrry.exe");
    const fs::path script = scratch.Path() / "install.txt";
    std::ofstream(script) << "click OKBTN\nanswer No\n";
    const fs::path tool = build / "tools" / "tamsel-sandbox";

    int round = 0;
    auto ours = [&]() {
        const fs::path machine = scratch.Path() / ("machine" + std::to_string(round++));
        const std::string sandbox = "TAMSEL_SANDBOX=" + machine.string();
        RunProgram({tool.string(), "init"}, {sandbox});
        ::sync();
        const double seconds = TimeSeconds([&] {
            RunProgram({(media / "Setup").string()},
                       {sandbox, "TAMSEL_UI=script:" + script.string()});
        });
        fs::remove_all(machine);
        return seconds;
    };
    auto baseline = [&]() {
        const fs::path copy = scratch.Path() / "copy.exe";
        ::sync();
        const double seconds = TimeSeconds([&] {
            RunProgram({"cp", (media / "TamselOrry.exe").string(), copy.string()});
        });
        fs::remove(copy);
        return seconds;
    };
    CompareAndPrint("Install with a 1 GiB \"TamselOrry.exe\"", "`cp` of the same file", rounds,
                    ours, baseline, 1e3, "ms");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "install_benchmark: %s\n", error.what());
    return 1;
}
