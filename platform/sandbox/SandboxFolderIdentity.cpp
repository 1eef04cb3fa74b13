#include "platform/sandbox/SandboxFolderIdentity.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/SandboxMachine.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

// The drive a Windows path is on: its own letter, C: for a path without one (as the drives
// take it).
char DriveOf(const std::string& path) {
    if (StartsWithDrive(path)) {
        return path[0];
    }
    return 'C';
}

// Whether a level of `host` below `root` is a symbolic link.
bool PassesThroughLink(const fs::path& root, const fs::path& host) {
    std::error_code error;
    fs::path prefix = root;
    for (const auto& level : host.lexically_relative(root)) {
        if (level.empty() || level == ".") continue;
        prefix /= level;
        if (fs::symlink_status(prefix, error).type() == fs::file_type::symlink) return true;
    }
    return false;
}

}  // namespace

SandboxFolderIdentity::SandboxFolderIdentity(SandboxMachine& machine) : machine_(machine) {}

std::optional<ResolvedFolder> SandboxFolderIdentity::Resolve(const std::string& path) {
    fs::path host;
    fs::path root;
    try {
        host = machine_.HostPath(path, false);
        root = machine_.HostPath(std::string(1, DriveOf(path)) + ":\\", false);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
    std::error_code error;
    if (!fs::is_directory(host, error)) return std::nullopt;

    // The target is named relative to the drives folder as the machine sees it (the machine's
    // own folder may lie behind a link of the host).
    const fs::path target = fs::canonical(host, error);
    if (error) return std::nullopt;
    const fs::path drives = root.parent_path();
    const fs::path realDrives = fs::canonical(drives, error);
    if (error) return std::nullopt;
    const fs::path inside = target.lexically_relative(realDrives);
    const bool onDrives = !inside.empty() && *inside.begin() != "..";

    ResolvedFolder resolved;
    resolved.path = machine_.WindowsPath(onDrives ? drives / inside : target);
    resolved.throughLink = PassesThroughLink(root, host);
    return resolved;
}

}  // namespace tamsel::sandbox
