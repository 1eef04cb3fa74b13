#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CommandTable.h"

namespace tamsel::tool {

namespace {
std::vector<Command>& Table() {
    static std::vector<Command> table;
    return table;
}
}  // namespace

CommandRegistration::CommandRegistration(Command command) { Table().push_back(command); }

const std::vector<Command>& Commands() { return Table(); }

}  // namespace tamsel::tool

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: tamsel-sandbox COMMAND [ARGS]\n"
           "The sandbox is the folder named by TAMSEL_SANDBOX (default "
           "${XDG_DATA_HOME:-$HOME/.local/share}/tamsel-sandbox).\n"
           "Commands:\n";
    for (const auto& command : tamsel::tool::Commands()) {
        out << "  " << command.usage << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    for (const auto& command : tamsel::tool::Commands()) {
        if (args[0] == command.name) {
            try {
                return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
            } catch (const std::exception& error) {
                std::cerr << "tamsel-sandbox " << args[0] << ": " << error.what() << "\n";
                return 1;
            }
        }
    }
    std::cerr << "tamsel-sandbox: unknown command '" << args[0] << "'\n";
    PrintUsage(std::cerr);
    return 2;
}
