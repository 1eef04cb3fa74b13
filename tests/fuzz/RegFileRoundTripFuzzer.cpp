// libFuzzer target: whatever `reg import` takes, `reg export` writes back, and importing that
// export into an empty registry gives the same export again. An input that the import refuses
// is fine (it changes nothing).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace {

namespace fs = std::filesystem;
using tamsel::sandbox::ExportRegFile;
using tamsel::sandbox::ImportRegFile;
using tamsel::sandbox::SqliteRegistry;

[[noreturn]] void Fail(const std::string& what, const std::string& text) {
    std::fprintf(stderr, "round trip broken: %s\n--- export ---\n%s\n", what.c_str(), text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory (/dev/shm) when there is one, as every input makes two databases; removed after
    // each input.
    static const fs::path folder =
        (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
        ("tamsel-regfile-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string exported;
    {
        auto registry = SqliteRegistry::Open(folder / "first.db");
        try {
            ImportRegFile(*registry, std::string(reinterpret_cast<const char*>(data), size));
        } catch (const std::runtime_error&) {
            fs::remove_all(folder);
            return 0;  // refused, and nothing changed
        }
        try {
            exported = ExportRegFile(*registry);
        } catch (const std::runtime_error& error) {
            Fail(std::string("the import took what the export cannot write: ") + error.what(), "");
        }
    }
    auto again = SqliteRegistry::Open(folder / "second.db");
    try {
        ImportRegFile(*again, exported);
    } catch (const std::runtime_error& error) {
        Fail(std::string("the export does not import: ") + error.what(), exported);
    }
    if (ExportRegFile(*again) != exported) Fail("the second export differs", exported);
    fs::remove_all(folder);
    return 0;
}
