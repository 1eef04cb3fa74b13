#include "platform/sandbox/Logon.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <vector>

#include "platform/WindowsPath.h"
#include "platform/sandbox/BatchInterpreter.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::sandbox {

namespace {

struct RunOnceRoot {
    RegKey root;
    const char* name;
};

constexpr RunOnceRoot kRoots[] = {{tamsel::reg::kLocalMachine, "HKEY_LOCAL_MACHINE"},
                                  {tamsel::reg::kCurrentUser, "HKEY_CURRENT_USER"}};

bool EndsWithBatchExtension(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string tail = LowerCase(path.substr(path.size() - 4));
    return tail == ".bat" || tail == ".cmd";
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The command text of a value: a string up to its first NUL; an expandable string expanded
// with the machine's environment. Nothing for other types.
bool CommandText(SqliteRegistry& registry, const RegistryValue& value, std::string& command) {
    if (value.type != tamsel::reg::kSz && value.type != tamsel::reg::kExpandSz) return false;
    command.assign(value.data.begin(), value.data.end());
    if (const auto nul = command.find('\0'); nul != std::string::npos) command.resize(nul);
    if (value.type == tamsel::reg::kExpandSz) {
        const std::uint32_t size = registry.ExpandEnvironment(command, nullptr, 0);
        if (size > 0) {
            std::vector<char> expanded(size, '\0');
            const std::uint32_t written =
                registry.ExpandEnvironment(command, expanded.data(), size);
            if (written > 0 && written <= size) command.assign(expanded.data(), written - 1);
        }
    }
    return true;
}

void DeleteRunOnceValue(SqliteRegistry& registry, RegKey root, const std::string& name) {
    RegKey key = 0;
    if (registry.OpenKeyEx(root, kRunOnceKey, 0, tamsel::reg::kKeySixRights, &key) !=
        tamsel::reg::kSuccess) {
        return;
    }
    registry.DeleteValue(key, name);
    registry.CloseKey(key);
}

}  // namespace

std::string BatchFileOfCommand(const std::string& command) {
    std::string path = Trimmed(command);
    if (!path.empty() && path.front() == '"') {
        const auto close = path.find('"', 1);
        if (close != path.size() - 1) return std::string();  // unbalanced, or arguments follow
        path = path.substr(1, close - 1);
    } else if (path.find('"') != std::string::npos) {
        return std::string();
    }
    return EndsWithBatchExtension(path) ? path : std::string();
}

LogonResult RunLogon(SandboxMachine& machine, std::ostream& out, std::ostream& errors) {
    LogonResult result;
    SqliteRegistry& registry = machine.GetSqliteRegistry();
    for (const auto& [root, rootName] : kRoots) {
        // Values() lists the names sorted without regard to case. The list is taken once, as
        // Windows does: a value that a command adds waits for the next log-on.
        for (const RegistryValue& value : registry.Values(root, kRunOnceKey)) {
            const bool deleteAfter = !value.name.empty() && value.name.front() == '!';
            if (!deleteAfter) DeleteRunOnceValue(registry, root, value.name);

            const std::string where =
                std::string(rootName) + "\\" + kRunOnceKey + " \"" + value.name + "\"";
            std::string command;
            if (!CommandText(registry, value, command)) {
                errors << where << ": not a command (value type " << value.type << "); not run\n";
                ++result.refused;
            } else if (const std::string batch = BatchFileOfCommand(command); batch.empty()) {
                errors << where << ": " << command
                       << ": only batch files (.bat, .cmd) run on the sandbox; not run\n";
                ++result.refused;
            } else {
                out << where << ": " << command << "\n";
                BatchInterpreter interpreter(machine, errors);
                if (interpreter.RunFile(batch)) {
                    ++result.ran;
                } else {
                    ++result.refused;
                }
                result.refused += interpreter.RefusedCount();
            }

            if (deleteAfter) DeleteRunOnceValue(registry, root, value.name);
        }
    }
    return result;
}

}  // namespace tamsel::sandbox
