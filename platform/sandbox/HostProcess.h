#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tamsel::sandbox {

// Starting the host programs that stand for a sandbox's Windows programs. They are host
// executables (even when named "uninstall.exe") and are executed directly, with no arguments:
// argv[0] is the program's path.

// The environment of this process as NAME=VALUE entries, with one variable set to a value
// (replaced when it is there, added otherwise).
std::vector<std::string> EnvironmentWith(const std::string& name, const std::string& value);

// Starts a program in a session of its own, stdin from /dev/null, and does not wait for it; it
// is not left as a child of this process. Returns 0 when it was executed, otherwise the errno
// of the failure (that of exec when the program could not be executed).
int StartDetached(const std::filesystem::path& program,
                  const std::vector<std::string>& environment);

// Runs a program and waits for it. Returns its exit status, 128 + the signal number when a
// signal ended it, or -errno when it could not be started.
int RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& environment);

}  // namespace tamsel::sandbox
