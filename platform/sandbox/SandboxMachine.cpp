#include "platform/sandbox/SandboxMachine.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/sandbox/CodePage.h"
#include "platform/sandbox/DefaultDrives.h"
#include "platform/sandbox/DefaultMachine.h"
#include "platform/sandbox/DefaultRegistry.h"
#include "platform/sandbox/DriveMap.h"
#include "platform/sandbox/MachineStore.h"
#include "platform/sandbox/SandboxAutomation.h"
#include "platform/sandbox/SandboxFolderIdentity.h"
#include "platform/sandbox/SandboxSystem.h"
#include "platform/sandbox/SandboxVolumes.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

// The file that marks a folder as a sandbox machine, so that Open and Reset never take (or
// wipe) a folder that holds something else.
constexpr const char* kMarkerFile = ".tamsel-sandbox";
constexpr const char* kMarkerText = "tamsel-sandbox machine\n";
constexpr const char* kRegistryFile = "registry.db";
constexpr const char* kMachineFile = "machine.db";
constexpr const char* kDrivesFolder = "drives";

bool IsMissingOrEmpty(const fs::path& directory) {
    std::error_code error;
    auto status = fs::status(directory, error);
    if (status.type() == fs::file_type::not_found) return true;
    if (status.type() != fs::file_type::directory) return false;
    return fs::is_empty(directory, error) && !error;
}

bool IsSandboxFolder(const fs::path& directory) {
    std::ifstream marker(directory / kMarkerFile, std::ios::binary);
    if (!marker) return false;
    std::string text((std::istreambuf_iterator<char>(marker)), std::istreambuf_iterator<char>());
    return text == kMarkerText;
}

[[noreturn]] void RefuseForeignFolder(const fs::path& directory) {
    throw std::runtime_error("'" + directory.string() +
                             "' holds files but is not a sandbox machine; it is left as it is");
}

// Writes a default machine into an existing empty folder. The marker comes first, so that a
// machine left half-made by a failure can still be reset.
void MakeDefaultMachine(const fs::path& directory) {
    {
        std::ofstream marker(directory / kMarkerFile, std::ios::binary);
        marker << kMarkerText;
        marker.close();
        if (!marker)
            throw std::runtime_error((directory / kMarkerFile).string() + ": cannot write");
    }
    WriteDefaultDrives(directory / kDrivesFolder);
    auto registry = SqliteRegistry::Open(directory / kRegistryFile);
    WriteDefaultRegistry(*registry);
    MachineStore::Create(directory / kMachineFile,
                         {{'c', kSystemDriveLabel}, {'d', kDataDriveLabel}});
}

// Builds a default machine in a new folder beside `folder` and returns that folder; a failure
// on the way removes what it made and throws.
fs::path BuildMachineAside(const fs::path& folder) {
    fs::create_directories(folder.parent_path());
    std::string pattern =
        (folder.parent_path() / ("." + folder.filename().string() + ".new-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(folder.parent_path().string() +
                                 ": cannot make a folder: " + std::strerror(errno));
    }
    const fs::path aside = pattern;
    try {
        MakeDefaultMachine(aside);
        // mkdtemp makes a folder only its owner may enter; a machine's is an ordinary one.
        fs::permissions(aside, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(aside, ignored);
        throw;
    }
    return aside;
}

// Puts a new machine where a missing or empty `folder` is. False when another machine (or
// anything else) got there first.
bool MakeMachineAside(const fs::path& folder) {
    const fs::path aside = BuildMachineAside(folder);
    if (::rename(aside.c_str(), folder.c_str()) == 0) return true;
    const int error = errno;
    std::error_code ignored;
    fs::remove_all(aside, ignored);
    if (error == ENOTEMPTY || error == EEXIST) return false;
    throw std::runtime_error(folder.string() +
                             ": cannot put the new machine in place: " + std::strerror(error));
}

// Swaps a new machine with the one in `folder` and removes the old one: at every moment the
// folder holds one whole machine.
void ReplaceMachine(const fs::path& folder) {
    const fs::path aside = BuildMachineAside(folder);
    std::error_code ignored;
    if (::renameat2(AT_FDCWD, aside.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) != 0) {
        // A file system without the exchange: move the old machine away, then the new one in.
        fs::path old = aside;
        old += ".old";
        const bool movedAway = ::rename(folder.c_str(), old.c_str()) == 0;
        if (!movedAway || ::rename(aside.c_str(), folder.c_str()) != 0) {
            const int error = errno;
            if (movedAway) ::rename(old.c_str(), folder.c_str());
            fs::remove_all(aside, ignored);
            throw std::runtime_error(
                folder.string() + ": cannot put the new machine in place: " + std::strerror(error));
        }
        fs::remove_all(old, ignored);
        return;
    }
    // remove_all takes symbolic links away without following them.
    fs::remove_all(aside, ignored);
}

std::string TextOf(const std::vector<std::uint8_t>& data) {
    std::string text(data.begin(), data.end());
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

class Machine final : public SandboxMachine {
  public:
    explicit Machine(const fs::path& directory)
        : directory_(directory),
          drives_(directory / kDrivesFolder),
          registry_(SqliteRegistry::Open(directory / kRegistryFile)),
          store_(directory / kMachineFile),
          automation_(*this),
          system_(*this),
          volumes_(*this, store_),
          folders_(*this) {}

    Registry& GetRegistry() override { return *registry_; }
    Automation& GetAutomation() override { return automation_; }
    System& GetSystem() override { return system_; }
    Volumes& GetVolumes() override { return volumes_; }
    FolderIdentity& GetFolderIdentity() override { return folders_; }

    const fs::path& Directory() const override { return directory_; }
    SqliteRegistry& GetSqliteRegistry() override { return *registry_; }

    fs::path HostPath(const std::string& windowsPath, bool forWriting) const override {
        return drives_.HostPath(windowsPath, forWriting);
    }
    fs::path HostPath(const std::string& windowsPath, bool forWriting,
                      fs::file_type& kind) const override {
        return drives_.HostPath(windowsPath, forWriting, kind);
    }
    std::string WindowsPath(const fs::path& hostPath) const override {
        return drives_.WindowsPath(hostPath);
    }

    std::string Environment(const std::string& name) override;
    std::optional<std::string> FindEnvironment(const std::string& name) override;
    void SetEnvironment(const std::string& name, const std::string& value) override;
    void RemoveEnvironment(const std::string& name) override;

    bool IsReadOnly(const std::string& windowsPath) override {
        return CurrentState(windowsPath).readOnly;
    }
    void SetReadOnly(const std::string& windowsPath, bool readOnly) override {
        ChangeState(windowsPath, readOnly,
                    [readOnly](FileState& state) { state.readOnly = readOnly; });
    }
    bool IsInUse(const std::string& windowsPath) override {
        return CurrentState(windowsPath).inUse;
    }
    void SetInUse(const std::string& windowsPath, bool inUse) override {
        ChangeState(windowsPath, inUse, [inUse](FileState& state) { state.inUse = inUse; });
    }

    FileState StateAt(const fs::path& hostPath) override {
        return store_.GetFileState(WindowsPath(hostPath));
    }
    void ForgetStateAt(const fs::path& hostPath) override {
        store_.SetFileState(WindowsPath(hostPath), FileState{});
    }

    bool ScriptingHostAvailable() override { return store_.Setting("wsh", "on") == "on"; }
    void SetScriptingHostAvailable(bool available) override {
        store_.SetSetting("wsh", available ? "on" : "off");
    }

    int OemCodePage() override {
        const std::string stored = store_.Setting("oemcp", "");
        const int codePage = std::atoi(stored.c_str());
        return codePage > 0 ? codePage : kDefaultOemCodePage;
    }
    void SetOemCodePage(int codePage) override {
        if (!CodePageSupported(codePage)) {
            throw std::invalid_argument("code page " + std::to_string(codePage) +
                                        " is not supported");
        }
        store_.SetSetting("oemcp", std::to_string(codePage));
    }

  private:
    // The state of an existing file or folder; records of things that are gone count for
    // nothing (a file deleted behind the sandbox's back and made again starts clean).
    FileState CurrentState(const std::string& windowsPath) {
        try {
            fs::path host = HostPath(windowsPath, false);
            std::error_code error;
            if (fs::symlink_status(host, error).type() == fs::file_type::not_found) return {};
            return store_.GetFileState(WindowsPath(host));
        } catch (const RuntimeError&) {
            return {};
        }
    }

    // Clearing a flag of something that does not exist is no error (it is what deleting a
    // file does); setting one is (53).
    template <typename Change>
    void ChangeState(const std::string& windowsPath, bool setting, Change change) {
        fs::path host = HostPath(windowsPath, false);
        std::error_code error;
        bool exists = fs::symlink_status(host, error).type() != fs::file_type::not_found;
        if (!exists && setting) throw RuntimeError::FromNumber(err::kFileNotFound);
        std::string key = WindowsPath(host);
        FileState state = store_.GetFileState(key);
        change(state);
        store_.SetFileState(key, state);
    }

    std::optional<std::string> EnvironmentIn(RegKey root, const std::string& key,
                                             const std::string& name);
    // Opens HKCU "Environment" (making it when missing) for a change to the variable `name`.
    void ChangeUserEnvironment(const std::string& name,
                               const std::function<RegStatus(RegKey)>& change);

    fs::path directory_;
    DriveMap drives_;
    std::unique_ptr<SqliteRegistry> registry_;
    MachineStore store_;
    SandboxAutomation automation_;
    SandboxSystem system_;
    SandboxVolumes volumes_;
    SandboxFolderIdentity folders_;
};

std::optional<std::string> Machine::EnvironmentIn(RegKey root, const std::string& key,
                                                  const std::string& name) {
    RegKey handle = 0;
    if (registry_->OpenKeyEx(root, key, 0, reg::kKeyQueryValue, &handle) != reg::kSuccess) {
        return std::nullopt;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::optional<std::string> value;
    if (registry_->QueryValueEx(handle, name, &type, nullptr, &size) == reg::kSuccess) {
        std::vector<std::uint8_t> data(size);
        if (size == 0 ||
            registry_->QueryValueEx(handle, name, &type, data.data(), &size) == reg::kSuccess) {
            data.resize(size);
            value = TextOf(data);
        }
    }
    registry_->CloseKey(handle);
    if (value && type == reg::kExpandSz) {
        std::uint32_t needed = registry_->ExpandEnvironment(*value, nullptr, 0);
        if (needed > 0) {
            std::vector<char> expanded(needed);
            if (registry_->ExpandEnvironment(*value, expanded.data(), needed) <= needed) {
                value = std::string(expanded.data());
            }
        }
    }
    return value;
}

std::optional<std::string> Machine::FindEnvironment(const std::string& name) {
    if (auto user = EnvironmentIn(reg::kCurrentUser, kUserEnvironmentKey, name)) return user;
    return EnvironmentIn(reg::kLocalMachine, kSystemEnvironmentKey, name);
}

std::string Machine::Environment(const std::string& name) {
    return FindEnvironment(name).value_or("");
}

void Machine::ChangeUserEnvironment(const std::string& name,
                                    const std::function<RegStatus(RegKey)>& change) {
    if (name.empty() || name.find('=') != std::string::npos) {
        throw std::invalid_argument("'" + name + "' is not a name of an environment variable");
    }
    RegKey handle = 0;
    RegStatus status =
        registry_->CreateKeyEx(reg::kCurrentUser, kUserEnvironmentKey, 0, nullptr,
                               reg::kOptionNonVolatile, reg::kKeyAllAccess, &handle, nullptr);
    if (status != reg::kSuccess) {
        throw std::runtime_error("cannot open HKCU\\" + std::string(kUserEnvironmentKey) +
                                 " (status " + std::to_string(status) + ")");
    }
    status = change(handle);
    registry_->CloseKey(handle);
    if (status != reg::kSuccess) {
        throw std::runtime_error("cannot set " + name + " (status " + std::to_string(status) + ")");
    }
}

void Machine::SetEnvironment(const std::string& name, const std::string& value) {
    ChangeUserEnvironment(name, [&](RegKey handle) {
        return registry_->SetValueEx(handle, name, 0, reg::kSz,
                                     reinterpret_cast<const std::uint8_t*>(value.c_str()),
                                     static_cast<std::uint32_t>(value.size() + 1));
    });
}

void Machine::RemoveEnvironment(const std::string& name) {
    ChangeUserEnvironment(name, [&](RegKey handle) {
        const RegStatus status = registry_->DeleteValue(handle, name);
        return status == reg::kFileNotFound ? reg::kSuccess : status;
    });
}

}  // namespace

std::unique_ptr<SandboxMachine> SandboxMachine::Open(const fs::path& directory) {
    fs::path folder = fs::absolute(directory).lexically_normal();
    if (IsMissingOrEmpty(folder)) MakeMachineAside(folder);
    if (!IsSandboxFolder(folder)) RefuseForeignFolder(folder);
    return std::make_unique<Machine>(folder);
}

void SandboxMachine::Init(const fs::path& directory) {
    fs::path folder = fs::absolute(directory).lexically_normal();
    if (!IsMissingOrEmpty(folder) || !MakeMachineAside(folder)) {
        throw std::runtime_error("'" + folder.string() +
                                 "' is not empty: a new machine needs a missing or empty folder");
    }
}

void SandboxMachine::Reset(const fs::path& directory) {
    fs::path folder = fs::absolute(directory).lexically_normal();
    if (IsMissingOrEmpty(folder)) {
        Init(folder);
        return;
    }
    if (!IsSandboxFolder(folder)) RefuseForeignFolder(folder);
    ReplaceMachine(folder);
}

}  // namespace tamsel::sandbox
