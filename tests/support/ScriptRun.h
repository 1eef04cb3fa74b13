#pragma once

#include <filesystem>
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

}  // namespace tamsel::test
