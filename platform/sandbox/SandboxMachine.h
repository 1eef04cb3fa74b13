#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/sandbox/MachineStore.h"

namespace tamsel::sandbox {

class SqliteRegistry;

// An emulated Windows machine that lives in one folder: its registry (an SQLite database), its
// drives (one folder each), the state that Windows keeps for files (read-only attribute, files
// in use) and whether the Windows Script Host is installed. It is the Platform of programs that
// run on the sandbox.
class SandboxMachine : public Platform {
  public:
    // Opens the machine in a folder, making a default machine first when the folder is missing
    // or empty. Throws std::runtime_error with a message that names the offending file when the
    // folder holds something that is not a sandbox, or a registry that is not a valid database.
    static std::unique_ptr<SandboxMachine> Open(const std::filesystem::path& directory);

    // Makes a default machine in a missing or empty folder; throws std::runtime_error when the
    // folder holds anything. The machine is built in a folder beside it and moved into place
    // whole, so a failure (a full disk) leaves nothing half-made, and of two programs making
    // the same machine at once one wins and the other opens its machine.
    static void Init(const std::filesystem::path& directory);
    // Replaces whatever machine is in the folder by a default one. Refuses (std::runtime_error)
    // a folder that holds files but is not a sandbox.
    static void Reset(const std::filesystem::path& directory);

    virtual const std::filesystem::path& Directory() const = 0;
    virtual SqliteRegistry& GetSqliteRegistry() = 0;

    // The host path that a Windows path ("C:\dir\file", "z:\home\user") maps to, whether or
    // not it exists yet. Each component is matched without regard to case against what exists;
    // the rest keeps the case given. Throws RuntimeError 76 for a path on no drive of the
    // sandbox, and 70 for a path that would leave the sandbox (through "..", links), or that
    // would be written on Z: (forWriting), which maps the host's file system read-only.
    virtual std::filesystem::path HostPath(const std::string& windowsPath,
                                           bool forWriting) const = 0;
    // The same, also giving the kind of what the path names (links followed; not_found when it
    // does not exist) without asking the file system again.
    virtual std::filesystem::path HostPath(const std::string& windowsPath, bool forWriting,
                                           std::filesystem::file_type& kind) const = 0;
    // The Windows path of a host path: C:\... inside a drive of the sandbox, Z:\... elsewhere.
    virtual std::string WindowsPath(const std::filesystem::path& hostPath) const = 0;

    // The machine's environment (the user's, then the system's), as the registry keeps it:
    // Environment gives "" for a variable that is not set, FindEnvironment nothing.
    virtual std::string Environment(const std::string& name) = 0;
    virtual std::optional<std::string> FindEnvironment(const std::string& name) = 0;
    // Sets a variable of the user's environment to the value exactly as given (REG_SZ: a "%"
    // in it is part of the value, as in a folder name, not a reference); "" is a value too.
    // Throws std::invalid_argument for a name that is empty or holds "=".
    virtual void SetEnvironment(const std::string& name, const std::string& value) = 0;
    // Removes a variable of the user's environment; one that is not set is no error.
    virtual void RemoveEnvironment(const std::string& name) = 0;

    // File state that Windows keeps and the host cannot (root ignores permission bits).
    virtual bool IsReadOnly(const std::string& windowsPath) = 0;
    virtual void SetReadOnly(const std::string& windowsPath, bool readOnly) = 0;
    virtual bool IsInUse(const std::string& windowsPath) = 0;
    virtual void SetInUse(const std::string& windowsPath, bool inUse) = 0;
    // The same state for a host path that HostPath gave and the caller found to exist, without
    // resolving a Windows path again; and forgetting it (what deleting or replacing does).
    // Neither asks SQLite anything when no file of the machine has a state.
    virtual FileState StateAt(const std::filesystem::path& hostPath) = 0;
    virtual void ForgetStateAt(const std::filesystem::path& hostPath) = 0;

    // Whether "Scripting.FileSystemObject" and "WScript.Shell" can be created.
    virtual bool ScriptingHostAvailable() = 0;
    virtual void SetScriptingHostAvailable(bool available) = 0;

    // The machine's OEM code page: the one its command interpreter reads batch files in.
    // 437 (United States) unless set otherwise. Setting a code page that the sandbox cannot
    // convert (CodePage.h) throws std::invalid_argument.
    virtual int OemCodePage() = 0;
    virtual void SetOemCodePage(int codePage) = 0;
};

}  // namespace tamsel::sandbox
