#include "support/SandboxTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/RegFileText.h"
#include "platform/sandbox/RegistryNames.h"
#include "support/WineMachine.h"

namespace tamsel::test {

namespace fs = std::filesystem;

namespace {

// hex(2): data, UTF-16LE with its NUL, as regedit writes REG_EXPAND_SZ.
std::string ExpandSzData(const std::string& text) {
    std::string data = "hex(2):";
    for (const std::uint8_t byte : sandbox::AnsiToUtf16Le(text + '\0')) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x,", byte);
        data += hex;
    }
    data.pop_back();
    return data;
}

std::string KeyLine(RegKey root, const std::string& key, bool deleted = false) {
    return std::string(deleted ? "[-" : "[") + sandbox::RootName(root) + "\\" + key + "]\r\n";
}

std::string ValueName(const std::string& name) { return name.empty() ? "@" : Sz(name); }

}  // namespace

SandboxTest::SandboxTest() : machineDir_(scratch_.Path() / "machine") {
    // TAMSEL_WINE_MACHINE names the Wine machine to copy; then TAMSEL_WINE_DIST names the
    // Windows build's programs (BuiltFile).
    const char* wineMachine = std::getenv("TAMSEL_WINE_MACHINE");
    if (wineMachine != nullptr && *wineMachine != '\0') {
        wine_ = std::make_unique<WineMachine>(wineMachine, machineDir_);
    } else {
        machine_ = sandbox::SandboxMachine::Open(machineDir_);
    }
}

SandboxTest::~SandboxTest() = default;

// Every folder and file on the machine's drives: "c\dir\" for a folder, "c\dir\file <size>
// <hash>" for a file (a shortcut by its size only: it carries time stamps). Wine's own system
// folders change under it (caches, logs) and the programs never touch them: under Wine their
// contents are left out; files directly in C:\Windows stay in.
std::set<std::string> SandboxTest::Listing() const {
    std::set<std::string> entries;
    const fs::path drives = machineDir_ / "drives";
    for (auto it = fs::recursive_directory_iterator(drives);
         it != fs::recursive_directory_iterator(); ++it) {
        std::string name = fs::relative(it->path(), drives).generic_string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (it->is_directory()) {
            entries.insert(name + "\\");
            if (wine_ && name.starts_with("c\\windows\\")) it.disable_recursion_pending();
        } else if (it->path().extension() == ".lnk") {
            entries.insert(name + " " + std::to_string(it->file_size()));
        } else {
            const std::string content = ReadHostFile(it->path());
            entries.insert(name + " " + std::to_string(content.size()) + " " +
                           std::to_string(std::hash<std::string>{}(content)));
        }
    }
    return entries;
}

fs::path SandboxTest::Host(const std::string& windowsPath, bool forWriting) const {
    return wine_ ? wine_->drives.HostPath(windowsPath, forWriting)
                 : machine_->HostPath(windowsPath, forWriting);
}

void SandboxTest::PutFile(const std::string& windowsPath, const std::string& content) const {
    const fs::path host = Host(windowsPath, true);
    fs::create_directories(host.parent_path());
    // A new file, not the old one rewritten: a Wine machine shares its files with the machine
    // it was copied from until they are replaced.
    fs::remove(host);
    std::ofstream(host, std::ios::binary) << content;
}

void SandboxTest::SetReadOnly(const std::string& windowsPath) {
    wine_ ? wine_->SetReadOnly(windowsPath) : machine_->SetReadOnly(windowsPath, true);
}

void SandboxTest::SetScriptingHostAvailable(bool available) {
    wine_ ? wine_->SetScriptingHostAvailable(available)
          : machine_->SetScriptingHostAvailable(available);
}

void SandboxTest::Import(const std::string& lines) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n" + lines + "\r\n";
    if (wine_) {
        EXPECT_TRUE(wine_->Import(text)) << lines;
    } else {
        sandbox::ImportRegFile(machine_->GetSqliteRegistry(), text);
    }
}

std::optional<std::string> SandboxTest::ExportText(const std::string& key) const {
    if (wine_) return wine_->ExportKey(key);
    try {
        return sandbox::ExportRegFile(machine_->GetSqliteRegistry(), key);
    } catch (const std::runtime_error&) {
        return std::nullopt;  // no such key
    }
}

std::string SandboxTest::ExportAll() const {
    return wine_ ? wine_->ExportAll() : sandbox::ExportRegFile(machine_->GetSqliteRegistry());
}

void SandboxTest::PutValue(RegKey root, const std::string& key, const std::string& name,
                           const std::string& text, std::uint32_t type) {
    Import(KeyLine(root, key) + ValueName(name) + "=" +
           (type == reg::kExpandSz ? ExpandSzData(text) : Sz(text)));
}

void SandboxTest::PutKey(RegKey root, const std::string& key) { Import(KeyLine(root, key)); }

void SandboxTest::DeleteValue(RegKey root, const std::string& key, const std::string& name) {
    Import(KeyLine(root, key) + ValueName(name) + "=-");
}

void SandboxTest::DeleteKey(RegKey root, const std::string& key) {
    Import(KeyLine(root, key, true));
}

bool SandboxTest::KeyExists(RegKey root, const std::string& key) {
    return ExportText(std::string(sandbox::RootName(root)) + "\\" + key).has_value();
}

std::optional<std::string> SandboxTest::StringValue(RegKey root, const std::string& key,
                                                    const std::string& name) {
    const auto values = ExportKey(std::string(sandbox::RootName(root)) + "\\" + key);
    const std::string wanted = sandbox::FoldCase(name.empty() ? "@" : name);
    for (const auto& [valueName, data] : values.value_or(KeyValues{})) {
        if (sandbox::FoldCase(valueName) != wanted) continue;
        // "Quoted" data escapes "\\" and "\"" as JSON does.
        const auto text = nlohmann::json::parse(data, nullptr, false);
        if (text.is_string()) return text.get<std::string>();
    }
    return std::nullopt;
}

std::optional<KeyValues> SandboxTest::ExportKey(const std::string& key) {
    const std::optional<std::string> text = ExportText(key);
    if (!text) return std::nullopt;
    // The key's own values: the lines between its header and the next one.
    std::istringstream lines(text->substr(text->find('\n', text->find('[')) + 1));
    KeyValues values;
    for (std::string line; std::getline(lines, line) && !line.starts_with('[');) {
        const auto equals = line.starts_with("@=") ? 1 : line.find("\"=");
        if (equals == std::string::npos) continue;
        const std::string name = equals == 1 ? "@" : line.substr(1, equals - 1);
        values[name] = line.substr(line.find('=', equals) + 1);
    }
    return values;
}

void SandboxTest::ExpectState(const MachineState& state, const std::set<std::string>& mayGo) {
    std::set<std::string> files = Listing();
    files.insert(mayGo.begin(), mayGo.end());
    std::set<std::string> expected = state.files;
    expected.insert(mayGo.begin(), mayGo.end());
    EXPECT_EQ(files, expected);
    EXPECT_EQ(ExportAll(), state.registry);
}

ProcessResult SandboxTest::Tool(const std::vector<std::string>& args) const {
    if (!wine_) return RunSandboxTool(BuiltFile("tools/tamsel-sandbox"), machineDir_, args);
    // Under Wine the machine has no tamsel-sandbox; its log-on is Wine's own.
    if (args == std::vector<std::string>{"logon"}) return wine_->LogOn();
    ADD_FAILURE() << "tamsel-sandbox has no Wine counterpart for this call";
    return ProcessResult{};
}

ScriptRun SandboxTest::RunSetup(const std::vector<std::string>& lines,
                                const fs::path& program) const {
    if (!wine_) return Play({program.string()}, lines);
    // Windows starts a program named without an extension as NAME.exe: the copy a test made of
    // a program of the build under its Linux name gets that name beside it.
    fs::path windowsProgram = program;
    if (!program.has_extension()) {
        windowsProgram += ".exe";
        if (!fs::exists(windowsProgram)) fs::create_hard_link(program, windowsProgram);
    }
    return Play({"wine", wine_->drives.WindowsPath(windowsProgram)}, lines);
}

ScriptRun SandboxTest::RunOnMachine(const std::string& windowsPath,
                                    const std::vector<std::string>& lines) const {
    if (wine_) return Play({"wine", windowsPath}, lines);
    return Play({BuiltFile("tools/tamsel-sandbox").string(), "run", windowsPath}, lines);
}

// TAMSEL_UI=script:FILE plays the lines and TAMSEL_UI_LOG names the log, both in a folder of
// the run, spelt as the program sees them (under Wine by their Z: paths). The log is kept
// where TAMSEL_TRANSCRIPTS says, named after the test, for the comparison of the two
// platforms' transcripts.
ScriptRun SandboxTest::Play(const std::vector<std::string>& command,
                            const std::vector<std::string>& lines) const {
    const fs::path folder = scratch_.Path() / ("run" + std::to_string(++runs_));
    fs::create_directories(folder);
    WriteScript(folder / "script.txt", lines);
    const auto spell = [&](const fs::path& file) {
        return wine_ ? wine_->drives.WindowsPath(file) : file.string();
    };
    EnvironmentChanges environment =
        wine_ ? wine_->Environment() : EnvironmentChanges{{"TAMSEL_SANDBOX", machineDir_.string()}};
    environment["TAMSEL_UI"] = "script:" + spell(folder / "script.txt");
    environment["TAMSEL_UI_LOG"] = spell(folder / "log.jsonl");
    const ScriptRun run{RunProcess(command, environment), ReadEventLog(folder / "log.jsonl")};
    EXPECT_TRUE(run.problem.empty()) << run.problem;
    const char* transcripts = std::getenv("TAMSEL_TRANSCRIPTS");
    if (transcripts == nullptr || *transcripts == '\0') return run;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    fs::create_directories(transcripts);
    std::ofstream out(fs::path(transcripts) / (name + "." + std::to_string(runs_) + ".jsonl"),
                      std::ios::binary | std::ios::trunc);
    out << "{\"status\":" << run.status << "}\n";
    for (const auto& event : run.events) out << event.dump() << "\n";
    return run;
}

void SandboxTest::InstallWithSetup() const {
    const ScriptRun run = RunSetup({"click OKBTN", "answer No"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(Exists(kInstalledUninstaller));
}

}  // namespace tamsel::test
