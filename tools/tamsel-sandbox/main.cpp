// tamsel-sandbox: looks at and arranges the sandbox machine.

#include <algorithm>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CommandTable.h"

namespace tamsel::tool {

namespace {

constexpr int kUsageStatus = 2;

// Every command, in the order a user meets them: make the machine, look at and arrange it,
// then run programs on it.
std::vector<Command> AllCommands() {
    std::vector<Command> commands = MachineCommands();
    commands.push_back(RegCommand());
    commands.push_back(RunCommand());
    commands.push_back(LogonCommand());
    return commands;
}

// One line a form: the syntax, padded so that the summaries start in one column.
void PrintForms(std::ostream& out, const std::vector<Command>& commands, const char* indent) {
    std::size_t width = 0;
    for (const auto& command : commands) {
        for (const auto& form : command.forms) width = std::max(width, std::strlen(form.syntax));
    }
    for (const auto& command : commands) {
        for (const auto& form : command.forms) {
            out << indent << form.syntax << std::string(width + 2 - std::strlen(form.syntax), ' ')
                << form.summary << "\n";
        }
    }
}

void PrintHelp(std::ostream& out, const std::vector<Command>& commands) {
    out << "usage: tamsel-sandbox COMMAND [ARGS]\n"
           "The sandbox is the folder named by TAMSEL_SANDBOX (default "
           "${XDG_DATA_HOME:-$HOME/.local/share}/tamsel-sandbox).\n"
           "WINPATH is a full Windows path of the machine: C:\\..., D:\\..., or Z:\\... for the "
           "host's files.\n"
           "Commands:\n";
    std::vector<Command> all = commands;
    all.push_back(
        {"--help", {{"--help", "print this help"}, {"--version", "print the version"}}, nullptr});
    PrintForms(out, all, "  ");
}

int RunCommand(const Command& command, const std::vector<std::string>& args) {
    try {
        return command.run(args);
    } catch (const UsageError&) {
        std::cerr << "usage:\n";
        PrintForms(std::cerr, {command}, "  tamsel-sandbox ");
        return kUsageStatus;
    } catch (const std::exception& error) {
        std::cerr << "tamsel-sandbox " << command.name << ": " << error.what() << "\n";
        return 1;
    }
}

}  // namespace

}  // namespace tamsel::tool

int main(int argc, char** argv) {
    using namespace tamsel::tool;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<Command> commands = AllCommands();
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? std::cerr : std::cout, commands);
        return args.empty() ? kUsageStatus : 0;
    }
    if (args[0] == "--version") {
        std::cout << "tamsel-sandbox " << TAMSEL_VERSION << "\n";
        return 0;
    }
    for (const auto& command : commands) {
        if (args[0] == command.name) {
            return RunCommand(command, std::vector<std::string>(args.begin() + 1, args.end()));
        }
    }
    std::cerr << "tamsel-sandbox: unknown command '" << args[0] << "'\n";
    PrintHelp(std::cerr, commands);
    return kUsageStatus;
}
