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

// The existing entry of a folder that a name stands for, with its kind (not following a
// link): the name itself when it exists as spelled, else the first entry (in byte order) that
// equals it without regard to case, else the first entry whose short name it is. Nothing when
// there is none. The name as spelled costs one lstat; the folder is read only when that misses.
struct Entry {
    std::string name;
    fs::file_type kind = fs::file_type::not_found;
};

Entry MatchEntry(const fs::path& folder, const std::string& name) {
    std::error_code error;
    auto kind = fs::symlink_status(folder / name, error).type();
    if (!error && kind != fs::file_type::not_found) return {name, kind};
    Entry found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (SameName(entry, name) && (found.name.empty() || entry < found.name)) {
            found.name = std::move(entry);
        }
    }
    if (found.name.empty() && name.find('~') != std::string::npos) {
        const std::vector<std::string> entries = FolderEntries(folder);
        for (const std::string& entry : entries) {
            if (SameName(ShortNameAmong(entry, entries), name) &&
                (found.name.empty() || entry < found.name)) {
                found.name = entry;
            }
        }
    }
    if (!found.name.empty()) found.kind = fs::symlink_status(folder / found.name, error).type();
    return found;
}

bool IsWithin(const fs::path& path, const fs::path& folder) {
    auto relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
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
    std::error_code error;
    confinement_ = fs::canonical(drives_, error);
}

fs::path DriveMap::DriveFolder(char letter) const {
    return drives_ / std::string(1, LowerCase(letter));
}

fs::path DriveMap::HostPath(const std::string& windowsPath, bool forWriting) const {
    fs::file_type kind = fs::file_type::none;
    return HostPath(windowsPath, forWriting, kind);
}

fs::path DriveMap::HostPath(const std::string& windowsPath, bool forWriting,
                            fs::file_type& kind) const {
    ParsedPath parsed = Parse(windowsPath);
    fs::path root;
    const bool confined = parsed.drive != kHostDriveLetter;
    if (!confined) {
        if (forWriting) throw RuntimeError::FromNumber(err::kPermissionDenied);
        root = "/";
    } else {
        root = DriveFolder(parsed.drive);
    }
    auto checkDrive = [&] {
        std::error_code error;
        if (confined && !fs::is_directory(root, error)) {
            throw RuntimeError::FromNumber(err::kPathNotFound);
        }
    };

    // One lstat per existing component both finds its spelling and tells whether it is a link
    // to check: a link on a drive of the sandbox must lead to somewhere inside the drives. The
    // drive itself is looked at only when its first component is not found.
    fs::path current = root;
    kind = fs::file_type::directory;
    bool first = true;
    for (const auto& component : parsed.components) {
        if (kind == fs::file_type::not_found) {
            current /= component;
            continue;
        }
        Entry match = MatchEntry(current, component);
        if (first && match.kind == fs::file_type::not_found) checkDrive();
        first = false;
        kind = match.kind;
        if (match.kind == fs::file_type::not_found) {
            current /= component;
            continue;
        }
        current /= match.name;
        if (confined && match.kind == fs::file_type::symlink) CheckLinkTarget(current);
    }
    if (first) checkDrive();
    if (kind == fs::file_type::symlink) {
        std::error_code error;
        kind = fs::status(current, error).type();
    }
    return current;
}

void DriveMap::CheckLinkTarget(const fs::path& link) const {
    std::error_code error;
    if (confinement_.empty()) throw RuntimeError::FromNumber(err::kPathNotFound);
    fs::path target = fs::canonical(link, error);
    if (error || !IsWithin(target, confinement_)) {
        throw RuntimeError::FromNumber(err::kPermissionDenied);
    }
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
