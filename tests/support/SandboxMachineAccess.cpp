#include "support/SandboxMachineAccess.h"

#include <stdexcept>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RegistryValues.h"
#include "support/SandboxTest.h"

namespace tamsel::test {

RegStatus SandboxMachineAccess::PutValue(RegKey root, const std::string& key,
                                         const std::string& name, const std::string& text,
                                         std::uint32_t type) {
    return PutText(machine_.GetRegistry(), root, key, name, text, type);
}

RegStatus SandboxMachineAccess::PutKey(RegKey root, const std::string& key) {
    Registry& registry = machine_.GetRegistry();
    RegKey handle = 0;
    const RegStatus status = registry.CreateKeyEx(root, key, 0, nullptr, reg::kOptionNonVolatile,
                                                  reg::kKeySixRights, &handle, nullptr);
    if (status == reg::kSuccess) registry.CloseKey(handle);
    return status;
}

RegStatus SandboxMachineAccess::DeleteValue(RegKey root, const std::string& key,
                                            const std::string& name) {
    Registry& registry = machine_.GetRegistry();
    RegKey handle = 0;
    RegStatus status = registry.OpenKeyEx(root, key, 0, reg::kKeySixRights, &handle);
    if (status != reg::kSuccess) return status;
    status = registry.DeleteValue(handle, name);
    registry.CloseKey(handle);
    return status;
}

RegStatus SandboxMachineAccess::DeleteKey(RegKey root, const std::string& key) {
    return machine_.GetSqliteRegistry().DeleteKeyTree(root, key);
}

bool SandboxMachineAccess::KeyExists(RegKey root, const std::string& key) {
    return machine_.GetSqliteRegistry().KeyExists(root, key);
}

std::optional<std::string> SandboxMachineAccess::StringValue(RegKey root, const std::string& key,
                                                             const std::string& name) {
    const StoredValue value = Get(machine_.GetRegistry(), root, key, name);
    if (value.type == 0xFFFFFFFF) return std::nullopt;
    std::string text(value.data.begin(), value.data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::string SandboxMachineAccess::ExportAll() {
    return ExportRegFile(machine_.GetSqliteRegistry());
}

std::optional<std::string> SandboxMachineAccess::ExportKey(const std::string& key) {
    try {
        return ExportRegFile(machine_.GetSqliteRegistry(), key);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

ScriptRun SandboxMachineAccess::RunProgram(const std::filesystem::path& program,
                                           const std::vector<std::string>& lines) {
    return RunScripted({program.string()}, directory_, lines);
}

ScriptRun SandboxMachineAccess::RunOnMachine(const std::string& windowsPath,
                                             const std::vector<std::string>& lines) {
    return RunScripted({BuiltFile("tools/tamsel-sandbox").string(), "run", windowsPath}, directory_,
                       lines);
}

ProcessResult SandboxMachineAccess::LogOn() {
    return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), directory_, {"logon"});
}

std::set<std::string> SandboxMachineAccess::Listing() { return DriveListing(directory_); }

}  // namespace tamsel::test
