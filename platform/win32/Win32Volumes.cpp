// The drives and directories that a drive list and a directory list show.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

std::string Root(char driveLetter) {
    return std::string(1,
                       static_cast<char>(std::toupper(static_cast<unsigned char>(driveLetter)))) +
           ":\\";
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Asks a drive without showing Windows' "insert a disk" box for an empty removable drive.
class QuietDriveErrors {
  public:
    QuietDriveErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietDriveErrors() { SetErrorMode(previous_); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

  private:
    UINT previous_;
};

class Win32Volumes : public Volumes {
  public:
    std::vector<DriveInfo> Drives() override {
        QuietDriveErrors quiet;
        std::vector<char> roots(4 * 26 + 2, '\0');
        const DWORD length =
            GetLogicalDriveStringsA(static_cast<DWORD>(roots.size()), roots.data());
        std::vector<DriveInfo> drives;
        for (const char* root = roots.data(); length > 0 && *root != '\0';
             root += std::strlen(root) + 1) {
            DriveInfo drive;
            drive.letter = static_cast<char>(std::tolower(static_cast<unsigned char>(root[0])));
            char label[MAX_PATH + 1] = {};
            drive.ready = GetVolumeInformationA(root, label, MAX_PATH, nullptr, nullptr, nullptr,
                                                nullptr, 0) != 0;
            // A network drive shows its share name where a local one shows its label.
            if (drive.ready) drive.label = AnsiToUtf8(label);
            if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) continue;
            drives.push_back(drive);
        }
        return drives;
    }

    std::string CurrentDirectory(char driveLetter) override {
        // "D:" alone is that drive's current directory, which Windows keeps for each drive.
        const std::string drive = Root(driveLetter).substr(0, 2);
        char path[MAX_PATH + 1] = {};
        const DWORD length = GetFullPathNameA(drive.c_str(), MAX_PATH, path, nullptr);
        if (length == 0 || length > MAX_PATH) return Root(driveLetter);
        std::string current(path, length);
        // Wine answers with a trailing "\" where Windows gives none; only a root keeps it.
        if (current.size() > 3 && current.back() == '\\') current.pop_back();
        return AnsiToUtf8(current);
    }

    void SetCurrentDirectory(char driveLetter, const std::string& path) override {
        // The per-drive current directories live in the hidden "=D:" environment variables.
        const std::string name = "=" + Root(driveLetter).substr(0, 2);
        SetEnvironmentVariableA(name.c_str(), Utf8ToAnsi(path).c_str());
    }

    bool DirectoryExists(const std::string& path) override {
        QuietDriveErrors quiet;
        const DWORD attributes = GetFileAttributesA(Utf8ToAnsi(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    std::vector<std::string> SubDirectories(const std::string& path) override {
        QuietDriveErrors quiet;
        std::string pattern = Utf8ToAnsi(path);
        if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
        pattern += '*';
        std::vector<std::string> names;
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == "." ||
                name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0) {
                continue;
            }
            names.push_back(AnsiToUtf8(name));
        } while (FindNextFileA(search, &found));
        FindClose(search);
        // NTFS lists names sorted without regard to case; other file systems (and Wine on a
        // Unix file system) do not, so the list sorts them the same way everywhere.
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return Upper(a) < Upper(b); });
        return names;
    }
};

}  // namespace

std::unique_ptr<Volumes> MakeVolumes() { return std::make_unique<Win32Volumes>(); }

}  // namespace tamsel::win32
