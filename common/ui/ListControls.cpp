#include "common/ui/ListControls.h"

#include <cctype>
#include <optional>

#include "platform/RuntimeError.h"
#include "platform/WindowsPath.h"

namespace tamsel {

namespace {

std::optional<DriveInfo> FindDrive(Volumes& volumes, char letter) {
    for (const DriveInfo& drive : volumes.Drives()) {
        if (LowerCase(drive.letter) == LowerCase(letter)) return drive;
    }
    return std::nullopt;
}

// The drive a list shows before anyone picks one: the system drive C: when the machine has
// it, otherwise its first drive.
char InitialDriveLetter(Volumes& volumes) {
    const auto drives = volumes.Drives();
    for (const DriveInfo& drive : drives) {
        if (LowerCase(drive.letter) == 'c') return 'c';
    }
    return drives.empty() ? 'c' : LowerCase(drives.front().letter);
}

std::string EntryOf(const DriveInfo& drive) {
    std::string entry{LowerCase(drive.letter), ':'};
    if (!drive.label.empty()) entry += " [" + drive.label + "]";
    return entry;
}

std::string RootOf(char letter) { return std::string{UpperCase(letter), ':', '\\'}; }

// "d:" or "d: [Data]": a drive as a drive list writes it.
bool IsDriveEntry(const std::string& text) {
    if (!StartsWithDrive(text)) return false;
    if (text.size() == 2) return true;
    return text.size() >= 5 && text[2] == ' ' && text[3] == '[' && text.back() == ']';
}

// Joins the components of an absolute path again, dropping empty and "." components and
// letting ".." go up one level (never above the root).
std::string Normalise(const std::string& absolute) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 3; i <= absolute.size(); ++i) {
        if (i == absolute.size() || absolute[i] == '\\') {
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += absolute[i];
        }
    }
    std::string result = RootOf(absolute[0]);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += '\\';
        result += parts[i];
    }
    return result;
}

}  // namespace

DriveListBox::DriveListBox(std::string name, TwipsRect rect, Volumes& volumes)
    : Control(std::move(name), ControlKind::DriveListBox, rect),
      volumes_(volumes),
      drive_(1, InitialDriveLetter(volumes)) {}

std::vector<std::string> DriveListBox::Entries() const {
    std::vector<std::string> entries;
    for (const DriveInfo& drive : volumes_.Drives()) entries.push_back(EntryOf(drive));
    return entries;
}

std::string DriveListBox::Drive() const {
    const auto drive = FindDrive(volumes_, drive_.front());
    return drive ? EntryOf(*drive) : drive_ + ":";
}

void DriveListBox::SetDrive(const std::string& drive) {
    if (drive.empty() || !IsDriveLetter(drive.front())) {
        throw RuntimeError::FromNumber(err::kDeviceUnavailable);
    }
    const auto found = FindDrive(volumes_, drive.front());
    if (!found) throw RuntimeError::FromNumber(err::kDeviceUnavailable);
    if (!found->ready) throw RuntimeError::FromNumber(err::kDiskNotReady);
    const std::string previous = drive_;
    drive_ = std::string(1, LowerCase(found->letter));
    if (drive_ == previous || !onChange) return;
    // A change handler that cannot follow the new drive leaves the list on the drive it had.
    try {
        onChange();
    } catch (...) {
        drive_ = previous;
        throw;
    }
}

DirListBox::DirListBox(std::string name, TwipsRect rect, Volumes& volumes)
    : Control(std::move(name), ControlKind::DirListBox, rect), volumes_(volumes) {
    const char letter = InitialDriveLetter(volumes);
    path_ = volumes.CurrentDirectory(letter);
    if (!volumes.DirectoryExists(path_)) path_ = RootOf(letter);
}

void DirListBox::SetPath(const std::string& path) {
    std::string target;
    if (IsDriveEntry(path)) {
        // A drive means its current directory, or its root when that directory has gone.
        const auto drive = FindDrive(volumes_, path.front());
        if (!drive) throw RuntimeError::FromNumber(err::kPathNotFound);
        if (!drive->ready) throw RuntimeError::FromNumber(err::kDiskNotReady);
        target = volumes_.CurrentDirectory(drive->letter);
        if (!IsDriveAbsolute(target) || !volumes_.DirectoryExists(Normalise(target))) {
            target = RootOf(drive->letter);
        }
    } else if (IsDriveAbsolute(path)) {
        target = path;
    } else if (path.size() == 2 && StartsWithDrive(path)) {
        target = RootOf(path[0]);
    } else if (!path.empty() && path.front() == '\\') {
        target = path_.substr(0, 2) + path;  // from the root of the current drive
    } else {
        target = path_ + "\\" + path;  // an entry of the list, relative to the current path
    }
    target = Normalise(target);

    const auto drive = FindDrive(volumes_, target.front());
    if (drive && !drive->ready) throw RuntimeError::FromNumber(err::kDiskNotReady);
    if (!drive || !volumes_.DirectoryExists(target)) {
        throw RuntimeError::FromNumber(err::kPathNotFound);
    }
    if (target != path_) {
        const std::string previous = path_;
        path_ = target;
        try {
            if (onChange) onChange();
        } catch (...) {
            path_ = previous;
            throw;
        }
    }
    volumes_.SetCurrentDirectory(drive->letter, target);
}

std::vector<std::string> DirListBox::Levels() const {
    std::vector<std::string> levels;
    if (!IsDriveAbsolute(path_)) return levels;
    levels.push_back(path_.substr(0, 3));
    std::string part;
    for (std::size_t i = 3; i <= path_.size(); ++i) {
        if (i == path_.size() || path_[i] == '\\') {
            if (!part.empty()) levels.push_back(part);
            part.clear();
        } else {
            part += path_[i];
        }
    }
    return levels;
}

std::vector<std::string> DirListBox::SubDirectories() const {
    return volumes_.SubDirectories(path_);
}

}  // namespace tamsel
