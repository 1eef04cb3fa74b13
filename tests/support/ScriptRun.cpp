#include "support/ScriptRun.h"

#include <fstream>

namespace tamsel::test {

std::vector<nlohmann::json> ScriptRun::EventsOf(const std::string& kind) const {
    auto found = events;
    std::erase_if(found, [&](const auto& event) { return event.value("event", "") != kind; });
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
    for (std::string line; std::getline(in, line);) {
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

}  // namespace tamsel::test
