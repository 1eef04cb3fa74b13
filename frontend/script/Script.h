#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::script {

// One line of a script that plays the user, with its line number (1-based) for messages.
struct ScriptLine {
    int number = 0;
    std::string text;
};

// What a script line asks the front end to do.
enum class CommandKind {
    Click,   // click CONTROL
    Set,     // set CONTROL TEXT
    Drive,   // drive LETTER
    Open,    // open PATH
    Close,   // close
    Answer,  // answer BUTTON
};

struct ScriptCommand {
    CommandKind kind = CommandKind::Close;
    std::string target;    // the control of click and set; the button of answer
    std::string argument;  // the text of set, the drive of drive, the path of open
    ScriptLine line;
};

// The lines of a script, read one at a time. Blank lines and lines whose first non-blank
// character is "#" are skipped; a CR before the line end is dropped, so scripts written with
// CR LF play the same.
class Script {
  public:
    explicit Script(const std::string& text);
    // Reads a script file; throws std::runtime_error naming the file when it cannot be read.
    static Script FromFile(const std::string& path);

    // The next line to play; nothing when the script has run out.
    std::optional<ScriptLine> Next();

  private:
    std::vector<ScriptLine> lines_;
    std::size_t next_ = 0;
};

// Parses one line. Returns nothing and sets *problem when the line is not a command the front
// end knows.
std::optional<ScriptCommand> ParseCommand(const ScriptLine& line, std::string* problem);

}  // namespace tamsel::script
