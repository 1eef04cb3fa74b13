#include "support/WineMachine.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/sandbox/RegFileText.h"
#include "support/SandboxTest.h"

namespace tamsel::test {

namespace fs = std::filesystem;

namespace {

// The Z: path under which Wine shows a host file.
std::string OnZ(const fs::path& host) {
    std::string text = fs::absolute(host).lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return "Z:" + text;
}

// Replaces a file hard-linked with the machine copied from by a copy of its own, so that a
// change to it stays with this machine.
void Unshare(const fs::path& file) {
    if (fs::hard_link_count(file) < 2) return;
    fs::copy_file(file, file.string() + ".copy");
    fs::rename(file.string() + ".copy", file);
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

bool WineMachine::Selected() {
    const char* machine = std::getenv("TAMSEL_WINE_MACHINE");
    return machine != nullptr && *machine != '\0';
}

WineMachine::WineMachine(const fs::path& directory)
    : directory_(fs::absolute(directory)), drives_(directory_ / "drives") {
    const fs::path machine = std::getenv("TAMSEL_WINE_MACHINE");
    if (!fs::is_directory(machine / "prefix")) {
        throw std::runtime_error(machine.string() + " holds no Wine machine");
    }
    // Hard links make the copy cheap; what Wine rewrites in place (its registry files, the
    // ".ini" files) is copied for real.
    const ProcessResult copy = RunProcess({"cp", "-al", machine.string(), directory_.string()});
    if (copy.status != 0) throw std::runtime_error("cannot copy the Wine machine: " + copy.err);
    for (const auto& entry : fs::recursive_directory_iterator(directory_)) {
        const fs::path& file = entry.path();
        if (entry.is_regular_file() && !entry.is_symlink() &&
            (file.extension() == ".reg" || file.extension() == ".ini")) {
            Unshare(file);
        }
    }
}

WineMachine::~WineMachine() { RunProcess({"wineserver", "-k"}, WineEnvironment()); }

void WineMachine::SetReadOnly(const std::string& windowsPath) const {
    const fs::path host = HostPath(windowsPath, true);
    Unshare(host);
    fs::permissions(host, fs::perms::owner_write | fs::perms::group_write,
                    fs::perm_options::remove);
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

bool WineMachine::Import(const std::string& regText) const {
    // UTF-16LE with a byte-order mark, as regedit reads names in any script.
    const fs::path file = directory_ / "import.reg";
    const std::vector<std::uint8_t> text = sandbox::AnsiToUtf16Le(regText);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "\xFF\xFE";
    out.write(reinterpret_cast<const char*>(text.data()),
              static_cast<std::streamsize>(text.size()));
    out.close();
    return RunProcess({"wine", "regedit", "/S", OnZ(file)}, WineEnvironment()).status == 0;
}

std::optional<std::string> WineMachine::ExportKey(const std::string& key) const {
    // regedit writes UTF-16LE with a byte-order mark and CR LF line ends.
    const fs::path file = directory_ / "export.reg";
    fs::remove(file);
    if (RunProcess({"wine", "regedit", "/E", OnZ(file), key}, WineEnvironment()).status != 0 ||
        !fs::exists(file)) {
        return std::nullopt;
    }
    const std::string bytes = ReadHostFile(file).substr(2);
    std::string text =
        sandbox::Utf16LeToAnsi(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())
            .value_or("");
    std::erase(text, '\r');
    return text;
}

std::string WineMachine::ExportAll() const {
    std::string all;
    for (const char* key : kWatchedKeys) all += ExportKey(key).value_or("");
    return all;
}

ScriptRun WineMachine::RunProgram(const fs::path& program, const std::vector<std::string>& lines) {
    // Windows starts a program named without an extension as NAME.exe: the copy a test made
    // of a program of the build under its Linux name gets that name beside it.
    fs::path windowsProgram = program;
    if (!program.has_extension()) {
        windowsProgram += ".exe";
        if (!fs::exists(windowsProgram)) fs::create_hard_link(program, windowsProgram);
    }
    return RunOnMachine(OnZ(windowsProgram), lines);
}

ScriptRun WineMachine::RunOnMachine(const std::string& windowsPath,
                                    const std::vector<std::string>& lines) {
    const fs::path folder = directory_ / ("run" + std::to_string(++runs_));
    fs::create_directories(folder);
    return RunWithScript({"wine", windowsPath}, lines, WineEnvironment(), folder, OnZ);
}

ProcessResult WineMachine::LogOn() const {
    return RunProcess({"wine", "wineboot", "-r"}, WineEnvironment());
}

std::set<std::string> WineMachine::Listing() const {
    // Wine's own system folders change under it (caches, logs) and the programs never touch
    // them: their contents are left out; files directly in C:\Windows stay in.
    return DriveListing(directory_, [](const std::string& folder) {
        return folder.starts_with("c\\windows\\") && folder.size() > 11;
    });
}

}  // namespace tamsel::test
