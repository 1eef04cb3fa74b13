#include "SetupHarness.h"

#include <fstream>
#include <sstream>

#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::test {

namespace fs = std::filesystem;

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Splits `"name"=data` or `@=data` (names without quotes); false for any other line.
bool SplitValueLine(const std::string& line, std::string& name, std::string& data) {
    const auto equals = line.rfind("@=", 0) == 0 ? 1 : line.find("\"=");
    if (equals == std::string::npos) return false;
    name = equals == 1 ? "@" : line.substr(1, equals - 1);
    data = line.substr(line.find('=', equals) + 1);
    return true;
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

void SetupTest::SetUp() {
    machine_ = scratch_.Path() / "machine";
    Tool({"init"});
}

std::string SetupTest::Tool(const std::vector<std::string>& args) {
    const ProcessResult result = RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), machine_, args);
    std::string command;
    for (const auto& arg : args) command += " " + arg;
    EXPECT_EQ(result.status, 0) << "tamsel-sandbox" << command << ": " << result.err
                                << result.problem;
    return result.out;
}

ScriptRun SetupTest::RunSetup(const std::vector<std::string>& scriptLines,
                              const fs::path& program) {
    ScriptRun run = RunScripted(program, machine_, scriptLines);
    EXPECT_TRUE(run.problem.empty()) << run.problem;
    return run;
}

fs::path SetupTest::BuiltDistFile(const std::string& name) { return BuiltFile("dist/" + name); }

fs::path SetupTest::HostPath(const std::string& windowsPath) {
    return fs::path(Trim(Tool({"path", windowsPath})));
}

bool SetupTest::Exists(const std::string& windowsPath) { return fs::exists(HostPath(windowsPath)); }

void SetupTest::SetString(RegKey root, const std::string& key, const std::string& name,
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

void SetupTest::DeleteValue(RegKey root, const std::string& key, const std::string& name) {
    const auto machine = sandbox::SandboxMachine::Open(machine_);
    Registry& registry = machine->GetRegistry();
    RegKey handle = 0;
    ASSERT_EQ(registry.OpenKeyEx(root, key, 0, reg::kKeySixRights, &handle), reg::kSuccess);
    EXPECT_EQ(registry.DeleteValue(handle, name), reg::kSuccess);
    registry.CloseKey(handle);
}

std::optional<KeyValues> SetupTest::ExportKey(const std::string& key) {
    std::istringstream text(ExportAll());
    const std::string header = "[" + key + "]";
    std::optional<KeyValues> values;
    bool inKey = false;
    for (std::string line; std::getline(text, line);) {
        line = Trim(line);
        if (!line.empty() && line.front() == '[') {
            inKey = line == header;
            if (inKey) values.emplace();
            continue;
        }
        std::string name;
        std::string data;
        if (inKey && SplitValueLine(line, name, data)) (*values)[name] = data;
    }
    return values;
}

std::string SetupTest::ExportAll() { return Tool({"reg", "export"}); }

std::map<std::string, std::string> SetupTest::ShortcutProperties(const std::string& windowsPath) {
    const ProcessResult result =
        RunProcess({"/usr/bin/env", "lnkinfo", HostPath(windowsPath).string()});
    EXPECT_EQ(result.status, 0) << windowsPath << ": " << result.err << result.problem;
    std::map<std::string, std::string> properties;
    // This lnkinfo labels other header fields as the show command and hot key: read those two
    // words from the header itself (offsets 0x3C and 0x40).
    std::ifstream file(HostPath(windowsPath), std::ios::binary);
    unsigned char header[0x4C] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    properties["ShowCommand"] =
        std::to_string(header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24);
    properties["HotKey"] = std::to_string(header[0x40] | header[0x41] << 8);
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string label = Trim(line.substr(0, colon));
        if (!label.empty() && properties.count(label) == 0) {
            properties[label] = Trim(line.substr(colon + 1));
        }
    }
    return properties;
}

}  // namespace tamsel::test
