#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace tamsel::tool {

// A command of tamsel-sandbox: its name (the first argument), one line of help for each form
// it takes, and the function that runs it with the remaining arguments. The function returns
// the exit status and writes its messages itself (results on stdout, complaints on stderr);
// arguments it cannot take make it throw UsageError, on which the tool shows the command's
// forms and exits with status 2.
using CommandFunction = int (*)(const std::vector<std::string>& args);

struct CommandForm {
    const char* syntax;   // "attrib [+r|-r] WINPATH"
    const char* summary;  // "show, set or clear the read-only attribute"
};

struct Command {
    const char* name;
    std::vector<CommandForm> forms;
    CommandFunction run;
};

class UsageError : public std::runtime_error {
  public:
    UsageError() : std::runtime_error("usage") {}
};

// The commands of each source file, in the order the help lists them.
std::vector<Command> MachineCommands();  // init, reset, path, attrib, lock, unlock, wsh, env
Command RegCommand();
Command RunCommand();
Command LogonCommand();

}  // namespace tamsel::tool
