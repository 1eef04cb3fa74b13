#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace tamsel::script {

// A JSON-lines log: one event object per line, appended to a file and flushed at once, so that
// a reader sees every event even when the program is killed. Without a path nothing is written.
class EventLog {
  public:
    // Opens the file for appending; throws std::runtime_error naming it when it cannot.
    explicit EventLog(const std::string& path);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    void Write(const nlohmann::ordered_json& event);

  private:
    std::string path_;
    // C stdio rather than a stream: streams would bring the library's locale machinery into
    // the Windows programs, several times their own size.
    std::FILE* out_ = nullptr;
};

}  // namespace tamsel::script
