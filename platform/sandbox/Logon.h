#pragma once

#include <iosfwd>
#include <string>

namespace tamsel::sandbox {

class SandboxMachine;

inline constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// What a log-on did with the RunOnce values.
struct LogonResult {
    int ran = 0;      // commands run (whatever their batch files then reported)
    int refused = 0;  // commands not run: not a batch file, the file missing, lines refused
};

// A user's log-on as far as the RunOnce keys go: the values of HKLM's RunOnce key, then those
// of HKCU's, each key's values in the order of their names compared without regard to case
// (Windows leaves the order open; a fixed one keeps runs repeatable). Each value is deleted
// before its command runs, or after it when its name starts with "!". A command is the Windows
// path of a ".bat" or ".cmd" file, in double quotes or not, which BatchInterpreter runs; any
// other command is reported on `errors` and not run. `out` tells which command runs.
LogonResult RunLogon(SandboxMachine& machine, std::ostream& out, std::ostream& errors);

// The batch file that a RunOnce command names, without its quotes; empty when the command is
// anything else (another program, arguments, an unbalanced quote).
std::string BatchFileOfCommand(const std::string& command);

}  // namespace tamsel::sandbox
