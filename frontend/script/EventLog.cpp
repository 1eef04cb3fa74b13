#include "frontend/script/EventLog.h"

#include <stdexcept>

#include "frontend/script/JsonString.h"

namespace tamsel::script {

// The objects are written as text directly rather than assembled as JSON values first, which
// keeps a JSON library's value, object and array code out of the Windows programs, whose size is
// limited.
void LogObject::AddName(std::string_view name) {
    if (!members_.empty()) members_ += ',';
    members_ += JsonString(name);
    members_ += ':';
}

LogObject& LogObject::Add(std::string_view name, std::string_view text) {
    AddName(name);
    members_ += JsonString(text);
    return *this;
}

LogObject& LogObject::Add(std::string_view name, bool value) {
    AddName(name);
    members_ += value ? "true" : "false";
    return *this;
}

LogObject& LogObject::Add(std::string_view name, int value) {
    AddName(name);
    members_ += std::to_string(value);
    return *this;
}

LogObject& LogObject::Add(std::string_view name, const std::vector<std::string>& texts) {
    AddName(name);
    members_ += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) members_ += ',';
        members_ += JsonString(texts[i]);
    }
    members_ += ']';
    return *this;
}

LogObject& LogObject::Add(std::string_view name, const LogObject& object) {
    AddName(name);
    members_ += object.Text();
    return *this;
}

std::string LogObject::Text() const { return '{' + members_ + '}'; }

EventLog::EventLog(const std::string& path) : path_(path) {
    if (path_.empty()) return;
    out_ = std::fopen(path_.c_str(), "ab");
    if (out_ == nullptr)
        throw std::runtime_error("cannot open the log '" + path_ + "' for writing");
}

void EventLog::Write(const LogObject& event) {
    if (out_ == nullptr) return;
    std::string line = event.Text();
    line += '\n';
    // One write per event, so that lines of processes that share the log do not interleave.
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
}

EventLog::~EventLog() {
    if (out_ != nullptr) std::fclose(out_);
}

}  // namespace tamsel::script
