// libFuzzer target: whatever `reg import` takes, `reg export` writes back, and importing that
// export into an empty registry gives the same export again. An input that the import refuses
// is fine (it changes nothing); an export or a second import that throws is a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace fs = std::filesystem;
using tamsel::sandbox::ExportRegFile;
using tamsel::sandbox::ImportRegFile;
using tamsel::sandbox::SqliteRegistry;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory (/dev/shm) when there is one: every input makes two databases.
    static const fs::path folder =
        (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
        ("tamsel-regfile-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    auto first = SqliteRegistry::Open(folder / "first.db");
    try {
        ImportRegFile(*first, std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::runtime_error&) {
        fs::remove_all(folder);
        return 0;  // refused, and nothing changed
    }
    const std::string exported = ExportRegFile(*first);
    auto again = SqliteRegistry::Open(folder / "second.db");
    ImportRegFile(*again, exported);
    if (ExportRegFile(*again) != exported) {
        std::fprintf(stderr, "round trip broken: the second export differs\n%s\n",
                     exported.c_str());
        std::abort();
    }
    fs::remove_all(folder);
    return 0;
}
