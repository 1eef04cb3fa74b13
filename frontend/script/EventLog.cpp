#include "frontend/script/EventLog.h"

#include <stdexcept>

namespace tamsel::script {

EventLog::EventLog(const std::string& path) : path_(path) {
    if (path_.empty()) return;
    out_ = std::fopen(path_.c_str(), "ab");
    if (out_ == nullptr) throw std::runtime_error("cannot open the log '" + path_ + "' for writing");
}

void EventLog::Write(const nlohmann::ordered_json& event) {
    if (out_ == nullptr) return;
    // Texts come from the machine (file names, registry data) and need not be valid UTF-8;
    // such bytes are replaced rather than losing the event.
    std::string line = event.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    line += '\n';
    // One write per event, so that lines of processes that share the log do not interleave.
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
}

EventLog::~EventLog() {
    if (out_ != nullptr) std::fclose(out_);
}

}  // namespace tamsel::script
