#include "platform/sandbox/SandboxShell.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/NameOrder.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/ShellLinkProperties.h"
#include "platform/sandbox/ShellLinkWriter.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Raise(std::int32_t number) { throw RuntimeError::FromNumber(number); }

// Where the shell looks up the user's folders: "User Shell Folders" holds them (with the
// profile as %USERPROFILE%, expanded on reading); "Shell Folders" is the expanded copy that
// Windows keeps for older programs, which the shell itself never reads.
constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::optional<std::string> RegistryText(Registry& registry, const std::string& valueName) {
    RegKey key = 0;
    if (registry.OpenKeyEx(reg::kCurrentUser, kUserShellFoldersKey, 0, reg::kKeyQueryValue, &key) !=
        reg::kSuccess) {
        return std::nullopt;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::optional<std::string> text;
    if (registry.QueryValueEx(key, valueName, &type, nullptr, &size) == reg::kSuccess &&
        (type == reg::kSz || type == reg::kExpandSz)) {
        std::vector<std::uint8_t> data(size);
        if (size == 0 ||
            registry.QueryValueEx(key, valueName, &type, data.data(), &size) == reg::kSuccess) {
            std::string value(data.begin(),
                              data.begin() + std::min<std::size_t>(size, data.size()));
            while (!value.empty() && value.back() == '\0') value.pop_back();
            text = value;
        }
    }
    registry.CloseKey(key);
    if (text && type == reg::kExpandSz) {
        std::uint32_t needed = registry.ExpandEnvironment(*text, nullptr, 0);
        std::vector<char> expanded(needed + 1, '\0');
        if (needed > 0 && registry.ExpandEnvironment(*text, expanded.data(), needed) <= needed) {
            text = std::string(expanded.data());
        }
    }
    return text;
}

// Keeps Windows' copy of a folder the shell looked up in "Shell Folders", as the shell does on
// every lookup. A copy that cannot be written is no error.
void MirrorInShellFolders(Registry& registry, const std::string& valueName,
                          const std::string& folder) {
    RegKey key = 0;
    if (registry.CreateKeyEx(reg::kCurrentUser, kShellFoldersKey, 0, nullptr,
                             reg::kOptionNonVolatile, reg::kKeySixRights, &key,
                             nullptr) != reg::kSuccess) {
        return;
    }
    registry.SetValueEx(key, valueName, 0, reg::kSz,
                        reinterpret_cast<const std::uint8_t*>(folder.c_str()),
                        static_cast<std::uint32_t>(folder.size() + 1));
    registry.CloseKey(key);
}

bool EndsWithLnk(const std::string& path) {
    if (path.size() < 4) return false;
    return SameName(std::string_view(path).substr(path.size() - 4), ".lnk");
}

class SandboxShortcut : public ShellShortcut {
  public:
    SandboxShortcut(SandboxMachine& machine, std::string path)
        : machine_(machine), path_(std::move(path)) {}

    void SetTargetPath(const std::string& path) override { target_ = path; }
    // Written as given; the programs ask for a normal window (1) only.
    void SetWindowStyle(std::int16_t style) override {
        link_.showCommand = static_cast<std::uint32_t>(style);
    }
    void SetHotKey(const std::string& hotKey) override { link_.hotKey = ParseHotKey(hotKey); }
    void SetIconLocation(const std::string& location) override {
        IconLocation icon = ParseIconLocation(location);
        link_.iconLocation = icon.path;
        link_.iconIndex = icon.index;
    }
    void SetDescription(const std::string& description) override {
        link_.description = description;
    }
    void SetWorkingDirectory(const std::string& directory) override {
        link_.workingDirectory = directory;
    }

    // Writes the file, replacing one of the same name: the new bytes go to a file beside it,
    // which is then renamed over it.
    void Save() override {
        fs::path host = machine_.HostPath(path_, true);
        std::error_code error;
        if (fs::status(host.parent_path(), error).type() != fs::file_type::directory) {
            Raise(err::kPathNotFound);
        }
        bool existed = fs::symlink_status(host, error).type() != fs::file_type::not_found;
        if (existed) {
            if (fs::is_directory(host, error)) Raise(err::kPermissionDenied);
            if (machine_.IsReadOnly(path_) || machine_.IsInUse(path_))
                Raise(err::kPermissionDenied);
        }

        ShellLink link = link_;
        link.targetPath = target_;
        DescribeTarget(link);
        std::vector<std::uint8_t> bytes = WriteShellLink(link);

        fs::path temporary = host.parent_path() / ("." + host.filename().string() + ".saving");
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                fs::remove(temporary, error);
                Raise(err::kPermissionDenied);
            }
        }
        fs::rename(temporary, host, error);
        if (error) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            Raise(err::kPermissionDenied);
        }
        if (!existed) {
            std::string windowsPath = machine_.WindowsPath(host);
            machine_.SetReadOnly(windowsPath, false);
            machine_.SetInUse(windowsPath, false);
        }
    }

  private:
    // What the shell knows of the target: whether it is a folder, its size, the volume.
    void DescribeTarget(ShellLink& link) {
        const std::string& target = link.targetPath;
        if (target.size() < 3 || !StartsWithDrive(target)) return;
        char letter = LowerCase(target[0]);
        link.volumeSerial = VolumeSerialNumber(letter);
        for (const auto& drive : machine_.GetVolumes().Drives()) {
            if (drive.letter == letter) link.volumeLabel = drive.label;
        }
        try {
            fs::path host = machine_.HostPath(target, false);
            std::error_code error;
            auto status = fs::status(host, error);
            if (status.type() == fs::file_type::directory) {
                link.targetIsFolder = true;
            } else if (status.type() == fs::file_type::regular) {
                auto size = fs::file_size(host, error);
                link.targetSize =
                    error || size > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(size);
            }
        } catch (const RuntimeError&) {
            // A target the sandbox cannot reach is written as given, as a file.
        }
    }

    SandboxMachine& machine_;
    std::string path_;
    std::string target_;
    ShellLink link_;
};

class SandboxShellObject : public ShellObject {
  public:
    explicit SandboxShellObject(SandboxMachine& machine) : machine_(machine) {}

    // "StartMenu" (any case), the one special folder the programs ask for: the folder that the
    // registry's User Shell Folders key names for the user (so that a machine can move it), or
    // the folder of a new machine when the value is missing; copied to Shell Folders. Other
    // names give 5.
    std::string SpecialFolder(const std::string& name) override {
        if (!SameName(name, "StartMenu")) Raise(err::kInvalidProcedureCall);
        Registry& registry = machine_.GetRegistry();
        const std::string path = RegistryText(registry, "Start Menu").value_or(kStartMenu);
        MirrorInShellFolders(registry, "Start Menu", path);
        return path;
    }

    // The path must end in ".lnk" (5 otherwise); nothing is written before Save.
    std::unique_ptr<ShellShortcut> CreateShortCut(const std::string& path) override {
        if (!EndsWithLnk(path)) Raise(err::kInvalidProcedureCall);
        return std::make_unique<SandboxShortcut>(machine_, path);
    }

  private:
    SandboxMachine& machine_;
};

}  // namespace

std::unique_ptr<ShellObject> MakeShellObject(SandboxMachine& machine) {
    return std::make_unique<SandboxShellObject>(machine);
}

}  // namespace tamsel::sandbox
