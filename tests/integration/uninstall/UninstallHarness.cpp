#include "UninstallHarness.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::test {

namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

void UninstallTest::SetUp() {
    machine_ = scratch_.Path() / "machine";
    Tool({"init"});
}

ProcessResult UninstallTest::ToolResult(const std::vector<std::string>& args,
                                        const EnvironmentChanges& environment) {
    return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), machine_, args, environment);
}

std::string UninstallTest::Tool(const std::vector<std::string>& args) {
    const ProcessResult result = ToolResult(args);
    std::string command;
    for (const auto& arg : args) command += " " + arg;
    EXPECT_EQ(result.status, 0) << "tamsel-sandbox" << command << ": " << result.err
                                << result.problem;
    return result.out;
}

void UninstallTest::InstallWithSetup() {
    const ScriptRun run =
        RunScripted(BuiltFile("dist/Setup"), machine_, {"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err << run.problem;
    ASSERT_TRUE(Exists(kInstalledUninstaller));
}

ScriptRun UninstallTest::RunUninstaller(const std::vector<std::string>& lines,
                                        const std::string& program) {
    static int runs = 0;
    const fs::path script = scratch_.Path() / ("uninstall" + std::to_string(++runs) + ".txt");
    const fs::path log = scratch_.Path() / ("uninstall" + std::to_string(runs) + ".log");
    WriteScript(script, lines);
    const ProcessResult result =
        ToolResult({"run", program},
                   {{"TAMSEL_UI", "script:" + script.string()}, {"TAMSEL_UI_LOG", log.string()}});
    ScriptRun run;
    run.status = result.status;
    run.out = result.out;
    run.err = result.err;
    run.problem = result.problem;
    if (fs::exists(log)) run.events = ReadEventLog(log);
    return run;
}

fs::path UninstallTest::HostPath(const std::string& windowsPath) {
    return fs::path(Trim(Tool({"path", windowsPath})));
}

bool UninstallTest::Exists(const std::string& windowsPath) {
    return fs::exists(HostPath(windowsPath));
}

void UninstallTest::PutFile(const std::string& windowsPath, const std::string& content) {
    const fs::path host = HostPath(windowsPath);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
}

std::string UninstallTest::Read(const std::string& windowsPath) {
    std::ifstream in(HostPath(windowsPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void UninstallTest::SetString(RegKey root, const std::string& key, const std::string& name,
                              const std::string& text) {
    const auto machine = sandbox::SandboxMachine::Open(machine_);
    Registry& registry = machine->GetRegistry();
    RegKey handle = 0;
    ASSERT_EQ(registry.CreateKeyEx(root, key, 0, nullptr, reg::kOptionNonVolatile,
                                   reg::kKeySixRights, &handle, nullptr),
              reg::kSuccess);
    const std::string data = text + '\0';
    EXPECT_EQ(registry.SetValueEx(handle, name, 0, reg::kSz,
                                  reinterpret_cast<const std::uint8_t*>(data.data()),
                                  static_cast<std::uint32_t>(data.size())),
              reg::kSuccess);
    registry.CloseKey(handle);
}

void UninstallTest::CreateKey(RegKey root, const std::string& key) {
    const auto machine = sandbox::SandboxMachine::Open(machine_);
    Registry& registry = machine->GetRegistry();
    RegKey handle = 0;
    ASSERT_EQ(registry.CreateKeyEx(root, key, 0, nullptr, reg::kOptionNonVolatile,
                                   reg::kKeySixRights, &handle, nullptr),
              reg::kSuccess);
    registry.CloseKey(handle);
}

bool UninstallTest::KeyExists(RegKey root, const std::string& key) {
    const auto machine = sandbox::SandboxMachine::Open(machine_);
    return machine->GetSqliteRegistry().KeyExists(root, key);
}

std::string UninstallTest::StringValue(RegKey root, const std::string& key,
                                       const std::string& name) {
    const auto machine = sandbox::SandboxMachine::Open(machine_);
    for (const auto& value : machine->GetSqliteRegistry().Values(root, key)) {
        if (value.name != name) continue;
        std::string text(value.data.begin(), value.data.end());
        if (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
    return "<missing>";
}

std::set<std::string> UninstallTest::Listing() {
    std::set<std::string> entries;
    for (const std::string drive : {"C:", "D:"}) {
        const fs::path root = HostPath(drive + "\\");
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            std::string relative = fs::relative(entry.path(), root).generic_string();
            std::replace(relative.begin(), relative.end(), '/', '\\');
            const std::string name = drive + "\\" + relative;
            if (entry.is_directory()) {
                entries.insert(name + "\\");
            } else {
                std::ifstream in(entry.path(), std::ios::binary);
                const std::string content((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
                entries.insert(name + " " + std::to_string(content.size()) + " " +
                               std::to_string(std::hash<std::string>{}(content)));
            }
        }
    }
    return entries;
}

}  // namespace tamsel::test
