#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::test {

// Changes to the environment of a child process: a value sets the variable, nothing removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

struct ProcessResult {
    // The exit status; 127 when the program could not be started (stderr says why); 128 + the
    // signal number when a signal ended it; -1 when it did not end in time (see problem).
    int status = -1;
    std::string out;
    std::string err;
    std::string problem;
};

// Runs a program with this process's environment changed as given and stdin from /dev/null;
// captures its stdout and stderr. After timeoutSeconds it is killed, so that a test never
// hangs: the limit is a guard, not a measure; keep it far above what the program needs.
ProcessResult RunProcess(const std::vector<std::string>& command,
                         const EnvironmentChanges& environment = {}, int timeoutSeconds = 120);

// Runs `tamsel-sandbox ARGS` on the sandbox in the given folder.
ProcessResult RunSandboxTool(const std::filesystem::path& tool,
                             const std::filesystem::path& sandbox,
                             const std::vector<std::string>& args);

// The bytes of a host file ("" when it cannot be read).
std::string ReadHostFile(const std::filesystem::path& file);

// A file of the build of this project, named relative to the build folder. Under Wine
// (TAMSEL_WINE_DIST set), "dist/NAME" is the Windows build's program NAME or NAME.exe.
std::filesystem::path BuiltFile(const std::string& relative);

}  // namespace tamsel::test
