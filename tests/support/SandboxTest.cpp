#include "support/SandboxTest.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RegistryValues.h"

namespace tamsel::test {

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::vector<nlohmann::json> WindowStates(const ScriptRun& run, const std::string& name) {
    std::vector<nlohmann::json> states;
    for (const auto& event : run.EventsOf("window")) {
        if (event.value("name", "") == name) states.push_back(event);
    }
    return states;
}

const nlohmann::json& ControlOf(const nlohmann::json& window, const std::string& control) {
    static const nlohmann::json kMissing = nlohmann::json::object();
    if (!window.contains("controls") || !window["controls"].contains(control)) return kMissing;
    return window["controls"][control];
}

std::string Sz(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::set<std::string> DriveListing(const fs::path& machineDirectory) {
    std::set<std::string> entries;
    const fs::path drives = machineDirectory / "drives";
    for (const auto& entry : fs::recursive_directory_iterator(drives)) {
        std::string name = fs::relative(entry.path(), drives).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (entry.is_directory()) {
            entries.insert(name + "\\");
        } else if (entry.path().extension() == ".lnk") {
            entries.insert(name + " " + std::to_string(entry.file_size()));
        } else {
            const std::string content = ReadAll(entry.path());
            entries.insert(name + " " + std::to_string(content.size()) + " " +
                           std::to_string(std::hash<std::string>{}(content)));
        }
    }
    return entries;
}

SandboxTest::SandboxTest()
    : machineDir_(scratch_.Path() / "machine"),
      machine_(sandbox::SandboxMachine::Open(machineDir_)) {}

fs::path SandboxTest::Host(const std::string& windowsPath) const {
    return machine_->HostPath(windowsPath, false);
}

bool SandboxTest::Exists(const std::string& windowsPath) const {
    return fs::exists(Host(windowsPath));
}

void SandboxTest::PutFile(const std::string& windowsPath, const std::string& content) const {
    const fs::path host = machine_->HostPath(windowsPath, true);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
}

void SandboxTest::PutFolder(const std::string& windowsPath) const {
    fs::create_directories(machine_->HostPath(windowsPath, true));
}

std::string SandboxTest::Read(const std::string& windowsPath) const {
    return ReadAll(Host(windowsPath));
}

void SandboxTest::PutValue(RegKey root, const std::string& key, const std::string& name,
                           const std::string& text, std::uint32_t type) {
    ASSERT_EQ(PutText(machine_->GetRegistry(), root, key, name, text, type), reg::kSuccess);
}

void SandboxTest::PutKey(RegKey root, const std::string& key) {
    Registry& registry = machine_->GetRegistry();
    RegKey handle = 0;
    ASSERT_EQ(registry.CreateKeyEx(root, key, 0, nullptr, reg::kOptionNonVolatile,
                                   reg::kKeySixRights, &handle, nullptr),
              reg::kSuccess);
    registry.CloseKey(handle);
}

void SandboxTest::DeleteValue(RegKey root, const std::string& key, const std::string& name) {
    Registry& registry = machine_->GetRegistry();
    RegKey handle = 0;
    ASSERT_EQ(registry.OpenKeyEx(root, key, 0, reg::kKeySixRights, &handle), reg::kSuccess);
    EXPECT_EQ(registry.DeleteValue(handle, name), reg::kSuccess);
    registry.CloseKey(handle);
}

bool SandboxTest::KeyExists(RegKey root, const std::string& key) {
    return machine_->GetSqliteRegistry().KeyExists(root, key);
}

std::optional<std::string> SandboxTest::StringValue(RegKey root, const std::string& key,
                                                    const std::string& name) {
    const StoredValue value = Get(machine_->GetRegistry(), root, key, name);
    if (value.type == 0xFFFFFFFF) return std::nullopt;
    std::string text(value.data.begin(), value.data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::string SandboxTest::ExportAll() { return ExportRegFile(machine_->GetSqliteRegistry()); }

std::optional<KeyValues> SandboxTest::ExportKey(const std::string& key) {
    std::string text;
    try {
        text = ExportRegFile(machine_->GetSqliteRegistry(), key);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    // The key's own values: the lines between its header and the next one.
    std::istringstream lines(text.substr(text.find('\n', text.find('[')) + 1));
    KeyValues values;
    for (std::string line; std::getline(lines, line) && !line.starts_with('[');) {
        const auto equals = line.starts_with("@=") ? 1 : line.find("\"=");
        if (equals == std::string::npos) continue;
        const std::string name = equals == 1 ? "@" : line.substr(1, equals - 1);
        values[name] = line.substr(line.find('=', equals) + 1);
    }
    return values;
}

ProcessResult SandboxTest::Tool(const std::vector<std::string>& args,
                                const EnvironmentChanges& environment) const {
    return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), machineDir_, args, environment);
}

ScriptRun SandboxTest::RunSetup(const std::vector<std::string>& lines,
                                const fs::path& program) const {
    ScriptRun run = RunScripted({program.string()}, machineDir_, lines);
    EXPECT_TRUE(run.problem.empty()) << run.problem;
    return run;
}

ScriptRun SandboxTest::RunOnMachine(const std::string& windowsPath,
                                    const std::vector<std::string>& lines) const {
    ScriptRun run = RunScripted({BuiltFile("tools/tamsel-sandbox").string(), "run", windowsPath},
                                machineDir_, lines);
    EXPECT_TRUE(run.problem.empty()) << run.problem;
    return run;
}

void SandboxTest::InstallWithSetup() const {
    const ScriptRun run = RunSetup({"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(Exists(kInstalledUninstaller));
}

}  // namespace tamsel::test
