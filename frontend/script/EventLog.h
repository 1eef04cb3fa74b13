#pragma once

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace tamsel::script {

// A JSON-lines log: one event object per line, appended to a file and flushed at once, so that
// a reader sees every event even when the program is killed. Without a path nothing is written.
class EventLog {
  public:
    // Opens the file for appending; throws std::runtime_error naming it when it cannot.
    explicit EventLog(const std::string& path);

    void Write(const nlohmann::ordered_json& event);

  private:
    std::string path_;
    std::ofstream out_;
};

}  // namespace tamsel::script
