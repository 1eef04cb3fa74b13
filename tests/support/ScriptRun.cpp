#include "support/ScriptRun.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "support/ScratchDirectory.h"

namespace tamsel::test {

std::vector<nlohmann::json> ScriptRun::EventsOf(const std::string& kind) const {
    std::vector<nlohmann::json> found;
    std::ranges::copy_if(events, std::back_inserter(found),
                         [&](const auto& event) { return event.value("event", "") == kind; });
    return found;
}

std::vector<std::string> ScriptRun::Kinds() const {
    std::vector<std::string> kinds;
    for (const auto& event : events) kinds.push_back(event.value("event", ""));
    return kinds;
}

std::vector<nlohmann::json> ReadEventLog(const std::filesystem::path& log) {
    std::vector<nlohmann::json> events;
    std::ifstream in(log, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        auto event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_discarded() || !event.is_object()) {
            event = {{"event", "unparsable"}, {"line", line}};
        }
        events.push_back(std::move(event));
    }
    return events;
}

void WriteScript(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const auto& line : lines) out << line << "\n";
}

ScriptRun RunWithScript(const std::vector<std::string>& command,
                        const std::vector<std::string>& scriptLines, EnvironmentChanges environment,
                        const std::filesystem::path& folder,
                        const std::function<std::string(const std::filesystem::path&)>& spell) {
    WriteScript(folder / "script.txt", scriptLines);
    environment.emplace("TAMSEL_UI", "script:" + spell(folder / "script.txt"));
    environment.emplace("TAMSEL_UI_LOG", spell(folder / "log.jsonl"));
    return {RunProcess(command, environment), ReadEventLog(folder / "log.jsonl")};
}

ScriptRun RunScripted(const std::vector<std::string>& command, const std::filesystem::path& sandbox,
                      const std::vector<std::string>& scriptLines) {
    ScratchDirectory scratch;
    return RunWithScript(command, scriptLines, {{"TAMSEL_SANDBOX", sandbox.string()}},
                         scratch.Path(),
                         [](const std::filesystem::path& path) { return path.string(); });
}

}  // namespace tamsel::test
