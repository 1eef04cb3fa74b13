#include "support/SandboxTest.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "support/SandboxMachineAccess.h"
#include "support/WineMachine.h"

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

std::set<std::string> DriveListing(const fs::path& machineDirectory,
                                   const std::function<bool(const std::string&)>& skipContents) {
    std::set<std::string> entries;
    const fs::path drives = machineDirectory / "drives";
    for (auto it = fs::recursive_directory_iterator(drives);
         it != fs::recursive_directory_iterator(); ++it) {
        const fs::directory_entry& entry = *it;
        std::string name = fs::relative(entry.path(), drives).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (entry.is_directory()) {
            entries.insert(name + "\\");
            if (skipContents && skipContents(name + "\\")) it.disable_recursion_pending();
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

KeyValues ExportedValues(const std::string& exportText) {
    // The key's own values: the lines between its header and the next one.
    const std::size_t header = exportText.find('[');
    if (header == std::string::npos) return {};
    std::istringstream lines(exportText.substr(exportText.find('\n', header) + 1));
    KeyValues values;
    for (std::string line; std::getline(lines, line) && !line.starts_with('[');) {
        const auto equals = line.starts_with("@=") ? 1 : line.find("\"=");
        if (equals == std::string::npos) continue;
        const std::string name = equals == 1 ? "@" : line.substr(1, equals - 1);
        values[name] = line.substr(line.find('=', equals) + 1);
    }
    return values;
}

SandboxTest::SandboxTest() : machineDir_(scratch_.Path() / "machine") {
    if (WineMachine::Selected()) {
        auto wine = std::make_unique<WineMachine>(machineDir_);
        access_ = wine.get();
        machine_ = std::move(wine);
    } else {
        machine_ = sandbox::SandboxMachine::Open(machineDir_);
        sandboxAccess_ = std::make_unique<SandboxMachineAccess>(*machine_, machineDir_);
        access_ = sandboxAccess_.get();
    }
}

bool SandboxTest::UnderWine() const { return sandboxAccess_ == nullptr; }

fs::path SandboxTest::Host(const std::string& windowsPath) const {
    return machine_->HostPath(windowsPath, false);
}

bool SandboxTest::Exists(const std::string& windowsPath) const {
    return fs::exists(Host(windowsPath));
}

void SandboxTest::PutFile(const std::string& windowsPath, const std::string& content) const {
    const fs::path host = machine_->HostPath(windowsPath, true);
    fs::create_directories(host.parent_path());
    // A new file, not the old one rewritten: a Wine machine shares its files with the machine
    // it was copied from until they are replaced.
    fs::remove(host);
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
    ASSERT_EQ(access_->PutValue(root, key, name, text, type), reg::kSuccess);
}

void SandboxTest::PutKey(RegKey root, const std::string& key) {
    ASSERT_EQ(access_->PutKey(root, key), reg::kSuccess);
}

void SandboxTest::DeleteValue(RegKey root, const std::string& key, const std::string& name) {
    EXPECT_EQ(access_->DeleteValue(root, key, name), reg::kSuccess);
}

void SandboxTest::DeleteKey(RegKey root, const std::string& key) {
    EXPECT_EQ(access_->DeleteKey(root, key), reg::kSuccess);
}

bool SandboxTest::KeyExists(RegKey root, const std::string& key) {
    return access_->KeyExists(root, key);
}

std::optional<std::string> SandboxTest::StringValue(RegKey root, const std::string& key,
                                                    const std::string& name) {
    return access_->StringValue(root, key, name);
}

std::string SandboxTest::ExportAll() { return access_->ExportAll(); }

std::optional<KeyValues> SandboxTest::ExportKey(const std::string& key) {
    const std::optional<std::string> text = access_->ExportKey(key);
    if (!text) return std::nullopt;
    return ExportedValues(*text);
}

ProcessResult SandboxTest::Tool(const std::vector<std::string>& args,
                                const EnvironmentChanges& environment) const {
    if (UnderWine()) {
        // Under Wine the machine has no tamsel-sandbox; its log-on is Wine's own.
        if (args == std::vector<std::string>{"logon"} && environment.empty()) {
            return access_->LogOn();
        }
        ADD_FAILURE() << "tamsel-sandbox has no Wine counterpart for this call";
        return ProcessResult{};
    }
    return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), machineDir_, args, environment);
}

ScriptRun SandboxTest::RunSetup(const std::vector<std::string>& lines,
                                const fs::path& program) const {
    ScriptRun run = access_->RunProgram(program, lines);
    EXPECT_TRUE(run.problem.empty()) << run.problem;
    KeepTranscript(run);
    return run;
}

ScriptRun SandboxTest::RunOnMachine(const std::string& windowsPath,
                                    const std::vector<std::string>& lines) const {
    ScriptRun run = access_->RunOnMachine(windowsPath, lines);
    EXPECT_TRUE(run.problem.empty()) << run.problem;
    KeepTranscript(run);
    return run;
}

void SandboxTest::KeepTranscript(const ScriptRun& run) const {
    const char* folder = std::getenv("TAMSEL_TRANSCRIPTS");
    if (folder == nullptr || *folder == '\0') return;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    fs::create_directories(folder);
    std::ofstream out(fs::path(folder) / (name + "." + std::to_string(++runs_) + ".jsonl"),
                      std::ios::binary | std::ios::trunc);
    out << "{\"status\":" << run.status << "}\n";
    for (const auto& event : run.events) out << event.dump() << "\n";
}

void SandboxTest::InstallWithSetup() const {
    const ScriptRun run = RunSetup({"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(Exists(kInstalledUninstaller));
}

}  // namespace tamsel::test
