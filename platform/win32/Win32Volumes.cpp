// The drives and directories that a drive list and a directory list show.
#include <algorithm>
#include <cctype>
#include <cwchar>
#include <vector>

#include "platform/WindowsPath.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

std::string Root(char driveLetter) { return std::string(1, UpperCase(driveLetter)) + ":\\"; }

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
        std::vector<wchar_t> roots(4 * 26 + 2, L'\0');
        const DWORD length =
            GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
        std::vector<DriveInfo> drives;
        for (const wchar_t* root = roots.data(); length > 0 && *root != L'\0';
             root += std::wcslen(root) + 1) {
            DriveInfo drive;
            drive.letter = LowerCase(root[0]);
            wchar_t label[MAX_PATH + 1] = {};
            drive.ready = GetVolumeInformationW(root, label, MAX_PATH, nullptr, nullptr, nullptr,
                                                nullptr, 0) != 0;
            // A network drive shows its share name where a local one shows its label.
            if (drive.ready) drive.label = WideToUtf8(label);
            if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) continue;
            drives.push_back(drive);
        }
        return drives;
    }

    std::string CurrentDirectory(char driveLetter) override {
        // "D:" alone is that drive's current directory, which Windows keeps for each drive.
        const std::wstring drive = Utf8ToWide(Root(driveLetter).substr(0, 2));
        wchar_t path[MAX_PATH + 1] = {};
        const DWORD length = GetFullPathNameW(drive.c_str(), MAX_PATH, path, nullptr);
        if (length == 0 || length > MAX_PATH) return Root(driveLetter);
        std::string current = WideToUtf8(std::wstring_view(path, length));
        // Wine answers with a trailing "\" where Windows gives none; only a root keeps it.
        current = WithoutTrailingSeparators(current);
        return current;
    }

    void SetCurrentDirectory(char driveLetter, const std::string& path) override {
        // The per-drive current directories live in the hidden "=D:" environment variables.
        const std::wstring name = Utf8ToWide("=" + Root(driveLetter).substr(0, 2));
        SetEnvironmentVariableW(name.c_str(), Utf8ToWide(path).c_str());
    }

    bool DirectoryExists(const std::string& path) override {
        QuietDriveErrors quiet;
        const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    std::vector<std::string> SubDirectories(const std::string& path) override {
        QuietDriveErrors quiet;
        std::wstring pattern = Utf8ToWide(path);
        if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
        pattern += L'*';
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = WideToUtf8(found.cFileName);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == "." ||
                name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0) {
                continue;
            }
            names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        // NTFS lists names sorted without regard to case; other file systems (and Wine on a
        // Unix file system) do not, so the list sorts them the same way everywhere.
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return UpperCase(a) < UpperCase(b);
        });
        return names;
    }
};

}  // namespace

std::unique_ptr<Volumes> MakeVolumes() { return std::make_unique<Win32Volumes>(); }

}  // namespace tamsel::win32
