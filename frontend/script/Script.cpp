#include "frontend/script/Script.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "common/TextSplit.h"

namespace tamsel::script {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(const std::string& text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

std::size_t WordEnd(const std::string& text, std::size_t at) {
    while (at < text.size() && !IsBlank(text[at])) ++at;
    return at;
}

bool IsSkipped(const std::string& text) {
    const std::size_t first = SkipBlanks(text, 0);
    return first == text.size() || text[first] == '#';
}

struct Keyword {
    const char* word;
    CommandKind kind;
};

constexpr std::array<Keyword, 6> kKeywords = {{{"click", CommandKind::Click},
                                               {"set", CommandKind::Set},
                                               {"drive", CommandKind::Drive},
                                               {"open", CommandKind::Open},
                                               {"close", CommandKind::Close},
                                               {"answer", CommandKind::Answer}}};

}  // namespace

Script::Script(const std::string& text) {
    std::vector<std::string> rawLines = SplitText(text, '\n');
    if (!rawLines.empty() && rawLines.back().empty()) rawLines.pop_back();  // the last line end
    int number = 0;
    for (std::string& raw : rawLines) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (IsSkipped(raw)) continue;
        lines_.push_back({number, raw});
    }
}

Script Script::FromFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw std::runtime_error("cannot read the script '" + path + "'");
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) throw std::runtime_error("cannot read the script '" + path + "'");
    return Script(text);
}

std::optional<ScriptLine> Script::Next() {
    if (next_ >= lines_.size()) return std::nullopt;
    return lines_[next_++];
}

std::optional<ScriptCommand> ParseCommand(const ScriptLine& line, std::string* problem) {
    const std::string& text = line.text;
    const std::size_t wordStart = SkipBlanks(text, 0);
    const std::size_t wordEnd = WordEnd(text, wordStart);
    const std::string word = text.substr(wordStart, wordEnd - wordStart);

    ScriptCommand command;
    command.line = line;
    bool known = false;
    for (const Keyword& keyword : kKeywords) {
        if (word == keyword.word) {
            command.kind = keyword.kind;
            known = true;
        }
    }
    auto fail = [&](const std::string& why) -> std::optional<ScriptCommand> {
        if (problem != nullptr) *problem = why;
        return std::nullopt;
    };
    if (!known) return fail("unknown command '" + word + "'");

    // The first word after the keyword, and what follows it.
    const std::size_t targetStart = SkipBlanks(text, wordEnd);
    const std::size_t targetEnd = WordEnd(text, targetStart);
    const std::string target = text.substr(targetStart, targetEnd - targetStart);
    const std::size_t afterTarget = SkipBlanks(text, targetEnd);
    const bool nothingAfterTarget = afterTarget == text.size();

    switch (command.kind) {
        case CommandKind::Click:
        case CommandKind::Answer:
            if (target.empty()) return fail("'" + word + "' needs a name");
            if (!nothingAfterTarget) return fail("'" + word + "' takes one name");
            command.target = target;
            break;
        case CommandKind::Set:
            if (target.empty()) return fail("'set' needs a control name");
            command.target = target;
            // The text is the rest of the line after the one blank that ends the name; it may
            // be empty and keeps its own blanks.
            if (targetEnd < text.size()) command.argument = text.substr(targetEnd + 1);
            break;
        case CommandKind::Drive:
        case CommandKind::Open: {
            if (target.empty()) {
                return fail(std::string("'") + word + "' needs " +
                            (command.kind == CommandKind::Drive ? "a drive" : "a path"));
            }
            std::string rest = text.substr(targetStart);
            while (!rest.empty() && IsBlank(rest.back())) rest.pop_back();
            command.argument = rest;
            break;
        }
        case CommandKind::Close:
            if (!target.empty()) return fail("'close' takes nothing after it");
            break;
    }
    return command;
}

}  // namespace tamsel::script
