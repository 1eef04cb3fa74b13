#include "support/WineMachine.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "platform/sandbox/RegFileText.h"
#include "platform/sandbox/RegistryNames.h"
#include "support/SandboxTest.h"

extern char** environ;

namespace tamsel::test {

namespace fs = std::filesystem;

namespace {

// The OEM code page of the prefix's English locale, as the sandbox machine's default.
constexpr int kWineOemCodePage = 437;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The Z: path under which Wine shows a host file.
std::string OnZ(const fs::path& host) {
    std::string text = fs::absolute(host).lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return "Z:" + text;
}

// "HKEY_CURRENT_USER\\key", as regedit names a key.
std::string KeyName(RegKey root, const std::string& key) {
    return std::string(sandbox::RootName(root)) + "\\" + key;
}

// hex(2): data, UTF-16LE with its NUL, as regedit writes REG_EXPAND_SZ.
std::string ExpandSzData(const std::string& text) {
    static const char* const kDigits = "0123456789abcdef";
    std::string data = "hex(2):";
    std::vector<std::uint8_t> bytes = sandbox::AnsiToUtf16Le(text);
    bytes.insert(bytes.end(), {0, 0});
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) data += ',';
        data += kDigits[bytes[i] >> 4];
        data += kDigits[bytes[i] & 15];
    }
    return data;
}

// UTF-16LE bytes (a byte-order mark skipped) as text; "" when they are not UTF-16.
std::string Utf16Text(const std::string& bytes) {
    const std::size_t start = bytes.starts_with("\xFF\xFE") ? 2 : 0;
    return sandbox::Utf16LeToAnsi(reinterpret_cast<const std::uint8_t*>(bytes.data()) + start,
                                  bytes.size() - start)
        .value_or("");
}

// regedit's UTF-16LE export as UTF-8 with LF line ends, continued hex lines joined.
std::string ExportText(const std::string& bytes) {
    std::string text = Utf16Text(bytes);
    std::erase(text, '\r');
    std::string joined;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\\' && at + 1 < text.size() && text[at + 1] == '\n' &&
            joined.find("hex", joined.rfind('\n') + 1) != std::string::npos) {
            at += 1;
            while (at + 1 < text.size() && text[at + 1] == ' ') ++at;
            continue;
        }
        joined += text[at];
    }
    return joined;
}

// The text of "quoted" or hex(2): data of an export line.
std::optional<std::string> TextOfData(const std::string& data) {
    if (data.starts_with('"') && data.size() >= 2) {
        std::string text;
        for (std::size_t i = 1; i + 1 < data.size(); ++i) {
            if (data[i] == '\\' && i + 2 < data.size()) ++i;
            text += data[i];
        }
        return text;
    }
    if (!data.starts_with("hex(2):")) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 7; i + 1 < data.size(); i += 3) {
        bytes += static_cast<char>(std::stoi(data.substr(i, 2), nullptr, 16));
    }
    std::string text = Utf16Text(bytes);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Keys whose values the programs and the log-on read or write; ExportAll covers these only,
// since Wine itself keeps changing values elsewhere in its registry (devices, fonts, times).
const char* const kWatchedKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_CURRENT_USER\\Environment",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
    "Folders",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder",
};

}  // namespace

bool WineMachine::Selected() { return !Variable("TAMSEL_WINE_MACHINE").empty(); }

WineMachine::WineMachine(const fs::path& directory)
    : directory_(fs::absolute(directory)), drives_(directory_ / "drives") {
    const fs::path machine = Variable("TAMSEL_WINE_MACHINE");
    if (!fs::is_directory(machine / "prefix")) {
        throw std::runtime_error(machine.string() + " holds no Wine machine");
    }
    // Hard links make the copy cheap; what Wine rewrites in place (its registry files, the
    // ".ini" files) is copied for real.
    const ProcessResult copy = RunProcess({"cp", "-al", machine.string(), directory_.string()});
    if (copy.status != 0) throw std::runtime_error("cannot copy the Wine machine: " + copy.err);
    for (const auto& entry : fs::recursive_directory_iterator(directory_)) {
        const fs::path& file = entry.path();
        if (!entry.is_regular_file() || entry.is_symlink()) continue;
        if (file.extension() != ".reg" && file.extension() != ".ini") continue;
        const fs::path copyOf = file.string() + ".copy";
        fs::copy_file(file, copyOf);
        fs::rename(copyOf, file);
    }
}

WineMachine::~WineMachine() {
    for (const auto& [file, pid] : holders_) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    RunProcess({"wineserver", "-k"}, WineEnvironment());
}

Registry& WineMachine::GetRegistry() { throw std::logic_error("no sandbox registry under Wine"); }
Automation& WineMachine::GetAutomation() {
    throw std::logic_error("no sandbox automation under Wine");
}
System& WineMachine::GetSystem() { throw std::logic_error("no sandbox system under Wine"); }
Volumes& WineMachine::GetVolumes() { throw std::logic_error("no sandbox volumes under Wine"); }
FolderIdentity& WineMachine::GetFolderIdentity() {
    throw std::logic_error("no sandbox folder identity under Wine");
}
sandbox::SqliteRegistry& WineMachine::GetSqliteRegistry() {
    throw std::logic_error("no sandbox registry under Wine");
}

fs::path WineMachine::HostPath(const std::string& windowsPath, bool forWriting) const {
    return drives_.HostPath(windowsPath, forWriting);
}

fs::path WineMachine::HostPath(const std::string& windowsPath, bool forWriting,
                               fs::file_type& kind) const {
    return drives_.HostPath(windowsPath, forWriting, kind);
}

// The state Windows keeps of a file is the prefix's own under Wine (see IsReadOnly, IsInUse);
// only the sandbox's file-system object asks for it by host path.
sandbox::FileState WineMachine::StateAt(const fs::path&) {
    throw std::logic_error("no sandbox file state under Wine");
}
void WineMachine::ForgetStateAt(const fs::path&) {
    throw std::logic_error("no sandbox file state under Wine");
}

std::string WineMachine::WindowsPath(const fs::path& hostPath) const {
    return drives_.WindowsPath(hostPath);
}

std::string WineMachine::Environment(const std::string& name) {
    return StringValue(reg::kCurrentUser, "Environment", name).value_or("");
}

std::optional<std::string> WineMachine::FindEnvironment(const std::string& name) {
    return StringValue(reg::kCurrentUser, "Environment", name);
}

void WineMachine::SetEnvironment(const std::string& name, const std::string& value) {
    PutValue(reg::kCurrentUser, "Environment", name, value, reg::kSz);
}

void WineMachine::RemoveEnvironment(const std::string& name) {
    DeleteValue(reg::kCurrentUser, "Environment", name);
}

int WineMachine::OemCodePage() { return kWineOemCodePage; }

void WineMachine::SetOemCodePage(int codePage) {
    if (codePage != kWineOemCodePage) {
        throw std::logic_error("the Wine machine's OEM code page is fixed by its locale");
    }
}

bool WineMachine::IsReadOnly(const std::string& windowsPath) {
    const auto permissions = fs::status(HostPath(windowsPath, false)).permissions();
    return (permissions & fs::perms::owner_write) == fs::perms::none;
}

void WineMachine::SetReadOnly(const std::string& windowsPath, bool readOnly) {
    // Wine shows a file without write permission as read-only. A hard-linked file of the
    // machine copy is copied first, so that the machine it came from keeps its own.
    const fs::path host = HostPath(windowsPath, true);
    if (fs::hard_link_count(host) > 1) {
        fs::copy_file(host, host.string() + ".copy");
        fs::rename(host.string() + ".copy", host);
    }
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write;
    fs::permissions(host, write, readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

std::string WineMachine::HostKey(const std::string& windowsPath) const {
    return HostPath(windowsPath, false).string();
}

bool WineMachine::IsInUse(const std::string& windowsPath) {
    return holders_.count(HostKey(windowsPath)) != 0;
}

void WineMachine::SetInUse(const std::string& windowsPath, bool inUse) {
    const std::string key = HostKey(windowsPath);
    if (!inUse) {
        auto holder = holders_.find(key);
        if (holder == holders_.end()) return;
        kill(holder->second, SIGKILL);
        waitpid(holder->second, nullptr, 0);
        holders_.erase(holder);
        return;
    }
    if (holders_.count(key) != 0) return;
    // uiauto.exe keeps the file open without sharing until it is killed; it says "holding"
    // once the file is open.
    const fs::path said = directory_ / ("holder" + std::to_string(holders_.size()) + ".txt");
    const std::string tool = (fs::path(Variable("TAMSEL_WINE_TOOLS")) / "uiauto.exe").string();
    std::vector<std::string> args = {"wine", tool, "hold", windowsPath, "86400"};
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
    for (const auto& [name, value] : WineEnvironment()) {
        std::erase_if(env, [&](const std::string& e) { return e.starts_with(name + "="); });
        if (value) env.push_back(name + "=" + *value);
    }
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, said.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, "wine", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start uiauto.exe hold");
    holders_[key] = pid;
    // A guard against a holder that never starts, not a measure of its speed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (ReadAll(said).find("holding") == std::string::npos) {
        if (waitpid(pid, nullptr, WNOHANG) == pid || std::chrono::steady_clock::now() > deadline) {
            holders_.erase(key);
            throw std::runtime_error("uiauto.exe could not hold " + windowsPath);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

EnvironmentChanges WineMachine::WineEnvironment() const {
    // winemenubuilder.exe would read each saved shortcut, and could hold one open just when the
    // uninstaller deletes it (the same overrides as the machine was made with).
    std::string overrides = "mscoree,mshtml=;winemenubuilder.exe=d";
    if (!scriptingHost_) overrides += ";scrrun,wshom.ocx=d";
    return {{"WINEPREFIX", (directory_ / "prefix").string()},
            {"WINEARCH", "win32"},
            {"WINEDEBUG", "-all"},
            {"WINEDLLOVERRIDES", overrides},
            {"USER", "User"},
            {"LOGNAME", "User"},
            {"TAMSEL_SANDBOX", std::nullopt}};
}

ProcessResult WineMachine::Wine(const std::vector<std::string>& args) const {
    std::vector<std::string> command = {"wine"};
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, WineEnvironment());
}

RegStatus WineMachine::Import(const std::string& lines) {
    const fs::path file = directory_ / "import.reg";
    const std::vector<std::uint8_t> text =
        sandbox::AnsiToUtf16Le("Windows Registry Editor Version 5.00\r\n\r\n" + lines + "\r\n");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "\xFF\xFE";
    out.write(reinterpret_cast<const char*>(text.data()),
              static_cast<std::streamsize>(text.size()));
    out.close();
    const ProcessResult result = Wine({"regedit", "/S", OnZ(file)});
    return result.status == 0 ? reg::kSuccess : reg::kAccessDenied;
}

RegStatus WineMachine::PutValue(RegKey root, const std::string& key, const std::string& name,
                                const std::string& text, std::uint32_t type) {
    const std::string valueName = name.empty() ? "@" : Sz(name);
    const std::string data = type == reg::kExpandSz ? ExpandSzData(text) : Sz(text);
    return Import("[" + KeyName(root, key) + "]\r\n" + valueName + "=" + data);
}

RegStatus WineMachine::PutKey(RegKey root, const std::string& key) {
    return Import("[" + KeyName(root, key) + "]");
}

RegStatus WineMachine::DeleteValue(RegKey root, const std::string& key, const std::string& name) {
    if (!StringValue(root, key, name)) return reg::kFileNotFound;
    return Import("[" + KeyName(root, key) + "]\r\n" + (name.empty() ? "@" : Sz(name)) + "=-");
}

RegStatus WineMachine::DeleteKey(RegKey root, const std::string& key) {
    // regedit deletes a key named "[-KEY]" with its subkeys, and says nothing when it is missing.
    if (!KeyExists(root, key)) return reg::kFileNotFound;
    return Import("[-" + KeyName(root, key) + "]");
}

bool WineMachine::KeyExists(RegKey root, const std::string& key) {
    return ExportKey(KeyName(root, key)).has_value();
}

std::optional<std::string> WineMachine::StringValue(RegKey root, const std::string& key,
                                                    const std::string& name) {
    const auto text = ExportKey(KeyName(root, key));
    if (!text) return std::nullopt;
    for (const auto& [valueName, data] : ExportedValues(*text)) {
        if (SameText(valueName, name.empty() ? "@" : name)) return TextOfData(data);
    }
    return std::nullopt;
}

std::string WineMachine::ExportAll() {
    std::string all;
    for (const char* key : kWatchedKeys) all += ExportKey(key).value_or("");
    return all;
}

std::optional<std::string> WineMachine::ExportKey(const std::string& key) {
    const fs::path file = directory_ / "export.reg";
    fs::remove(file);
    const ProcessResult result = Wine({"regedit", "/E", OnZ(file), key});
    if (result.status != 0 || !fs::exists(file)) return std::nullopt;
    return ExportText(ReadAll(file));
}

ScriptRun WineMachine::RunScriptedOnWine(const std::string& program,
                                         const std::vector<std::string>& lines) {
    const fs::path folder = directory_ / ("run" + std::to_string(++runs_));
    fs::create_directories(folder);
    WriteScript(folder / "script.txt", lines);
    EnvironmentChanges environment = WineEnvironment();
    environment["TAMSEL_UI"] = "script:" + OnZ(folder / "script.txt");
    environment["TAMSEL_UI_LOG"] = OnZ(folder / "log.jsonl");
    const ProcessResult process = RunProcess({"wine", program}, environment);
    ScriptRun run;
    run.status = process.status;
    run.out = process.out;
    run.err = process.err;
    run.problem = process.problem;
    run.events = ReadEventLog(folder / "log.jsonl");
    return run;
}

ScriptRun WineMachine::RunProgram(const fs::path& program, const std::vector<std::string>& lines) {
    // Windows starts a program named without an extension as NAME.exe: the copy a test made
    // of a program of the build under its Linux name gets that name beside it.
    fs::path windowsProgram = program;
    if (!program.has_extension()) {
        windowsProgram += ".exe";
        if (!fs::exists(windowsProgram)) fs::create_hard_link(program, windowsProgram);
    }
    return RunScriptedOnWine(OnZ(windowsProgram), lines);
}

ScriptRun WineMachine::RunOnMachine(const std::string& windowsPath,
                                    const std::vector<std::string>& lines) {
    return RunScriptedOnWine(windowsPath, lines);
}

ProcessResult WineMachine::LogOn() { return Wine({"wineboot", "-r"}); }

std::set<std::string> WineMachine::Listing() {
    // Wine's own system folders change under it (caches, logs) and the programs never touch
    // them: their contents are left out; files directly in C:\Windows stay in.
    return DriveListing(directory_, [](const std::string& folder) {
        return folder.starts_with("c\\windows\\") && folder.size() > 11;
    });
}

}  // namespace tamsel::test
