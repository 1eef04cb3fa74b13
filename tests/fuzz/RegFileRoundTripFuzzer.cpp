// libFuzzer target: whatever `reg import` takes, `reg export` writes back, and importing that
// export into an empty registry gives the same export again.
//
// Each input is imported into an empty registry. An input that the import refuses is fine (it
// changes nothing); one that it takes must export, re-import and export to the same text.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace {

namespace fs = std::filesystem;
using tamsel::sandbox::ExportRegFile;
using tamsel::sandbox::ImportRegFile;
using tamsel::sandbox::SqliteRegistry;

// A folder for the registry files of one input, removed with them afterwards; in memory
// (/dev/shm) when there is one, as every input makes two databases.
class WorkFolder {
  public:
    WorkFolder() {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = base / ("tamsel-regfile-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~WorkFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // An empty registry (the four roots) in a new file of the folder.
    std::unique_ptr<SqliteRegistry> EmptyRegistry(const char* name) const {
        return SqliteRegistry::Open(path_ / name);
    }

  private:
    fs::path path_;
};

[[noreturn]] void Fail(const std::string& what, const std::string& text) {
    std::fprintf(stderr, "round trip broken: %s\n--- export ---\n%s\n", what.c_str(), text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const WorkFolder folder;
    std::string exported;
    {
        auto registry = folder.EmptyRegistry("first.db");
        try {
            ImportRegFile(*registry, input);
        } catch (const std::runtime_error&) {
            return 0;  // refused, and nothing changed
        }
        try {
            exported = ExportRegFile(*registry);
        } catch (const std::runtime_error& error) {
            Fail(std::string("the import took what the export cannot write: ") + error.what(), "");
        }
    }
    auto again = folder.EmptyRegistry("second.db");
    try {
        ImportRegFile(*again, exported);
    } catch (const std::runtime_error& error) {
        Fail(std::string("the export does not import: ") + error.what(), exported);
    }
    if (ExportRegFile(*again) != exported) Fail("the second export differs", exported);
    return 0;
}
