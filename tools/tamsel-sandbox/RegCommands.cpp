// tamsel-sandbox reg: exports the sandbox's registry as a registry file on stdout, or imports
// one into it.

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "CommandTable.h"
#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SandboxLocation.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::tool {

namespace {

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

// The whole file, or nothing after a message that says why it cannot be read.
std::optional<std::string> ReadRegFile(const std::string& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        std::cerr << "tamsel-sandbox reg import: " << file << " is a folder, not a registry file\n";
        return std::nullopt;
    }
    std::string text;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    int problem = in == nullptr ? errno : 0;
    if (in != nullptr) {
        char buffer[65536];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, count);
        if (std::ferror(in)) problem = errno;
        std::fclose(in);
    }
    if (problem != 0) {
        std::cerr << "tamsel-sandbox reg import: cannot read " << file << ": "
                  << std::generic_category().message(problem) << "\n";
        return std::nullopt;
    }
    return text;
}

int Import(const std::string& file) {
    const auto text = ReadRegFile(file);
    if (!text) return 1;
    const auto machine = sandbox::SandboxMachine::Open(sandbox::SandboxDirectory());
    try {
        sandbox::ImportRegFile(machine->GetSqliteRegistry(), *text);
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
    throw UsageError();
}

}  // namespace

Command RegCommand() {
    return {"reg",
            {{"reg export [KEY]", "print the registry, or a key, as a registry file"},
             {"reg import FILE", "import a registry file (all or nothing)"}},
            Reg};
}

}  // namespace tamsel::tool
