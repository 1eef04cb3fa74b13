// tamsel-sandbox reg: exports the sandbox's registry as a registry file on stdout, or imports
// one into it.

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "CommandTable.h"
#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SandboxLocation.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::tool {

namespace {

constexpr const char* kUsage = "usage: tamsel-sandbox reg export [KEY] | reg import FILE\n";

int Export(const std::vector<std::string>& args) {
    std::optional<std::string> key;
    if (args.size() == 2) key = args[1];
    const auto machine = sandbox::SandboxMachine::Open(sandbox::SandboxDirectory());
    std::string text;
    try {
        text = sandbox::ExportRegFile(machine->GetSqliteRegistry(), key);
    } catch (const std::runtime_error& error) {
        std::cerr << "tamsel-sandbox reg export: " << error.what() << "\n";
        return 1;
    }
    std::cout << text << std::flush;
    return std::cout ? 0 : 1;
}

int Import(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "tamsel-sandbox reg import: cannot read " << file << "\n";
        return 1;
    }
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) {
        std::cerr << "tamsel-sandbox reg import: cannot read " << file << "\n";
        return 1;
    }
    const auto machine = sandbox::SandboxMachine::Open(sandbox::SandboxDirectory());
    try {
        sandbox::ImportRegFile(machine->GetSqliteRegistry(), text);
    } catch (const std::runtime_error& error) {
        std::cerr << "tamsel-sandbox reg import: " << file << ", " << error.what()
                  << "; nothing was imported\n";
        return 1;
    }
    return 0;
}

int Reg(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "export" && args.size() <= 2) return Export(args);
    if (!args.empty() && args[0] == "import" && args.size() == 2) return Import(args[1]);
    std::cerr << kUsage;
    return 2;
}

const CommandRegistration kReg({"reg",
                                "reg export [KEY] | reg import FILE   prints the registry (or a "
                                "key) as a .reg file; imports one",
                                Reg});

}  // namespace

}  // namespace tamsel::tool
