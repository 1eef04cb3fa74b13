#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::script {

// One event of the log: a JSON object whose members keep the order in which they are added,
// so that every line starts with "event". Names and texts are escaped by JsonString.
class LogObject {
  public:
    LogObject& Add(std::string_view name, std::string_view text);
    // Without it a string literal would take the bool overload.
    LogObject& Add(std::string_view name, const char* text) {
        return Add(name, std::string_view(text));
    }
    LogObject& Add(std::string_view name, bool value);
    LogObject& Add(std::string_view name, int value);
    LogObject& Add(std::string_view name, const std::vector<std::string>& texts);
    LogObject& Add(std::string_view name, const LogObject& object);

    // The object as compact JSON text, "{}" when it has no members.
    std::string Text() const;

  private:
    void AddName(std::string_view name);

    std::string members_;
};

// A JSON-lines log: one event object per line, appended to a file and flushed at once, so that
// a reader sees every event even when the program is killed. Without a path nothing is written.
class EventLog {
  public:
    // Opens the file for appending; throws std::runtime_error naming it when it cannot.
    explicit EventLog(const std::string& path);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    void Write(const LogObject& event);

  private:
    std::string path_;
    // C stdio rather than a stream: streams would bring the library's locale machinery into
    // the Windows programs, several times their own size.
    std::FILE* out_ = nullptr;
};

}  // namespace tamsel::script
