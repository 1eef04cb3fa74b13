#pragma once

#include <string>
#include <vector>

namespace tamsel::tool {

// A command of tamsel-sandbox: its name (the first argument), a one-line usage text and the
// function that runs it with the remaining arguments. It returns the exit status; it writes
// its messages itself (results on stdout, complaints on stderr).
using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage;
    CommandFunction run;
};

// Each command file registers its commands with a static instance of this.
struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

const std::vector<Command>& Commands();

}  // namespace tamsel::tool
