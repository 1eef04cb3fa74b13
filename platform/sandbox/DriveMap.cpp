#include "platform/sandbox/DriveMap.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"
#include "platform/sandbox/NameOrder.h"
#include "platform/sandbox/ShortNames.h"

namespace tamsel::sandbox {

namespace fs = std::filesystem;

namespace {

struct ParsedPath {
    char drive = 'c';
    std::vector<std::string> components;
};

void CheckNameCharacters(const std::string& component) {
    if (std::any_of(component.begin(), component.end(), IsForbiddenInName)) {
        throw RuntimeError::FromNumber(err::kBadFileName);
    }
}

ParsedPath Parse(const std::string& windowsPath) {
    if (windowsPath.empty()) throw RuntimeError::FromNumber(err::kPathNotFound);
    std::string text = windowsPath;
    std::replace(text.begin(), text.end(), '/', '\\');
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        throw RuntimeError::FromNumber(err::kPathNotFound);  // no network shares here
    }
    ParsedPath parsed;
    std::string rest = text;
    if (text.size() >= 2 && text[1] == ':') {
        if (!IsDriveLetter(text[0])) throw RuntimeError::FromNumber(err::kBadFileName);
        parsed.drive = LowerCase(text[0]);
        rest = text.substr(2);
    }
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        std::string component = rest.substr(start, end - start);
        const bool last = end == rest.size();
        start = end + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            if (parsed.components.empty()) throw RuntimeError::FromNumber(err::kPermissionDenied);
            parsed.components.pop_back();
            continue;
        }
        // Windows drops trailing dots and blanks from the end of the whole path only: "Sub \x"
        // names a folder "Sub " (which it never makes), "Sub \" too, "x\Sub " the folder Sub.
        if (last) {
            while (!component.empty() && (component.back() == '.' || component.back() == ' ')) {
                component.pop_back();
            }
            if (component.empty()) continue;
        }
        CheckNameCharacters(component);
        parsed.components.push_back(component);
    }
    return parsed;
}

// The existing entry of a folder that a name stands for: the name itself when it exists as
// spelled, else the first entry (in byte order) that equals it without regard to case, else
// the first entry whose short name it is; "" when there is none.
std::string MatchEntry(const fs::path& folder, const std::string& name) {
    std::error_code error;
    if (fs::symlink_status(folder / name, error).type() != fs::file_type::not_found && !error) {
        return name;
    }
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (SameName(entry, name)) matches.push_back(entry);
    }
    if (matches.empty() && name.find('~') != std::string::npos) {
        const std::vector<std::string> entries = FolderEntries(folder);
        for (const std::string& entry : entries) {
            if (SameName(ShortNameAmong(entry, entries), name)) matches.push_back(entry);
        }
    }
    if (matches.empty()) return "";
    return *std::min_element(matches.begin(), matches.end());
}

bool IsWithin(const fs::path& path, const fs::path& folder) {
    auto relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// Refuses a path whose existing part passes through a link that leaves the drives folder or
// leads nowhere.
void CheckConfinement(const fs::path& root, const std::vector<std::string>& names,
                      const fs::path& drivesFolder) {
    std::error_code error;
    fs::path confinement = fs::canonical(drivesFolder, error);
    if (error) throw RuntimeError::FromNumber(err::kPathNotFound);
    fs::path prefix = root;
    for (const auto& name : names) {
        prefix /= name;
        auto status = fs::symlink_status(prefix, error);
        if (error || status.type() == fs::file_type::not_found) return;
        if (status.type() != fs::file_type::symlink) continue;
        fs::path target = fs::canonical(prefix, error);
        if (error || !IsWithin(target, confinement)) {
            throw RuntimeError::FromNumber(err::kPermissionDenied);
        }
    }
}

}  // namespace

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path().filename().string());
    }
    return entries;
}

DriveMap::DriveMap(const fs::path& drivesFolder)
    : drives_(fs::absolute(drivesFolder).lexically_normal()) {
    if (!drives_.has_filename()) drives_ = drives_.parent_path();
}

fs::path DriveMap::DriveFolder(char letter) const {
    return drives_ / std::string(1, LowerCase(letter));
}

fs::path DriveMap::HostPath(const std::string& windowsPath, bool forWriting) const {
    ParsedPath parsed = Parse(windowsPath);
    fs::path root;
    if (parsed.drive == kHostDriveLetter) {
        if (forWriting) throw RuntimeError::FromNumber(err::kPermissionDenied);
        root = "/";
    } else {
        root = DriveFolder(parsed.drive);
        std::error_code error;
        if (!fs::is_directory(root, error)) throw RuntimeError::FromNumber(err::kPathNotFound);
    }

    std::vector<std::string> names;
    fs::path current = root;
    bool existing = true;
    for (const auto& component : parsed.components) {
        std::string name = component;
        if (existing) {
            std::string match = MatchEntry(current, component);
            if (match.empty()) {
                existing = false;
            } else {
                name = match;
            }
        }
        names.push_back(name);
        current /= name;
    }
    if (parsed.drive != kHostDriveLetter) CheckConfinement(root, names, drives_);
    return current;
}

std::string DriveMap::WindowsPath(const fs::path& hostPath) const {
    fs::path path = fs::absolute(hostPath).lexically_normal();
    if (!path.has_filename() && path != path.root_path()) path = path.parent_path();

    auto relative = path.lexically_relative(drives_);
    if (!relative.empty() && *relative.begin() != ".." && *relative.begin() != ".") {
        auto it = relative.begin();
        std::string letter = it->string();
        if (letter.size() == 1 && IsDriveLetter(letter[0]) &&
            LowerCase(letter[0]) != kHostDriveLetter) {
            std::string result(1, UpperCase(letter[0]));
            result += ":\\";
            bool first = true;
            for (++it; it != relative.end(); ++it) {
                if (it->empty()) continue;
                if (!first) result += '\\';
                result += it->string();
                first = false;
            }
            return result;
        }
    }
    std::string text = path.generic_string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return "Z:" + text;
}

std::uint32_t VolumeSerialNumber(char letter) {
    // A fixed pattern with the letter in the low byte: stable, and different per drive.
    return 0x5A7E0000u | static_cast<std::uint32_t>(static_cast<unsigned char>(LowerCase(letter)));
}

}  // namespace tamsel::sandbox
