#pragma once

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace tamsel::test {

// What a run of a program under the scripted front end left: the process's result and the
// events of its log, parsed. A log line that is not JSON becomes
// {"event":"unparsable","line":...}, so that a comparison of events shows it.
struct ScriptRun : ProcessResult {
    std::vector<nlohmann::json> events;

    // The events of one kind ("window", "msgbox", ...), in order.
    std::vector<nlohmann::json> EventsOf(const std::string& kind) const;
    // The kinds of all events in order: {"window", "msgbox", "answer", "exit"}.
    std::vector<std::string> Kinds() const;
};

// Reads a JSON-lines log.
std::vector<nlohmann::json> ReadEventLog(const std::filesystem::path& log);

// Writes the lines of a script to a file, one a line.
void WriteScript(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Runs a command with TAMSEL_UI=script:FILE playing the given lines and TAMSEL_UI_LOG, and
// reads back its log. Script and log lie in folder; spell names them as the program sees them.
ScriptRun RunWithScript(const std::vector<std::string>& command,
                        const std::vector<std::string>& scriptLines, EnvironmentChanges environment,
                        const std::filesystem::path& folder,
                        const std::function<std::string(const std::filesystem::path&)>& spell);

// The same on the sandbox in the given folder, with script and log in a scratch folder.
ScriptRun RunScripted(const std::vector<std::string>& command, const std::filesystem::path& sandbox,
                      const std::vector<std::string>& scriptLines);

}  // namespace tamsel::test
