// Which folder a path names on Windows: GetFullPathNameW and GetLongPathNameW turn a relative or
// 8.3 path into the long one, the attributes of each level tell a symbolic link or junction
// (a reparse point), and GetFinalPathNameByHandleW gives the folder that every link leads to.
#include <vector>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

namespace {

// Calls a Win32 function that fills a wide buffer and returns the length it needed; "" when it
// fails.
template <typename Fill>
std::wstring FillWide(Fill&& fill) {
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.assign(length + 1, L'\0');
    }
    return std::wstring();
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Without trailing separators, except the one of a drive root ("C:\").
std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && IsSeparator(path.back())) path.pop_back();
    return path;
}

// "\\?\C:\dir" -> "C:\dir", "\\?\UNC\server\share" -> "\\server\share".
std::wstring WithoutDevicePrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// Whether the full path or a folder above it (below its root) is a reparse point.
bool PassesThroughLink(const std::wstring& full) {
    const std::size_t rootLength = full.size() >= 3 && full[1] == L':' ? 3 : 0;
    for (std::size_t i = rootLength; i <= full.size(); ++i) {
        if (i != full.size() && !IsSeparator(full[i])) continue;
        if (i <= rootLength) continue;
        const DWORD attributes = GetFileAttributesW(full.substr(0, i).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            return true;
        }
    }
    return false;
}

// The final path of an existing folder, every link followed; "" when the path names no folder
// (a file, nothing, or a link that leads nowhere).
std::wstring FinalFolderPath(const std::wstring& path) {
    const HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::wstring();
    BY_HANDLE_FILE_INFORMATION information{};
    std::wstring final;
    if (GetFileInformationByHandle(handle, &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        final = FillWide([handle](wchar_t* buffer, DWORD size) {
            return GetFinalPathNameByHandleW(handle, buffer, size,
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        });
        // A file system that gives no final path: the path itself, made whole below.
        if (final.empty()) final = path;
    }
    CloseHandle(handle);
    return WithoutDevicePrefix(final);
}

class Win32FolderIdentity : public FolderIdentity {
  public:
    std::optional<ResolvedFolder> Resolve(const std::string& path) override {
        if (path.empty()) return std::nullopt;
        const std::wstring wide = Utf8ToWide(path);
        const std::wstring full = FillWide([&wide](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
        });
        if (full.empty()) return std::nullopt;
        // The handle follows every link: it tells whether a folder is reached at all.
        std::wstring final = FinalFolderPath(full);
        if (final.empty()) return std::nullopt;
        std::wstring longPath = FillWide([&full](wchar_t* buffer, DWORD size) {
            return GetLongPathNameW(full.c_str(), buffer, size);
        });
        if (longPath.empty()) longPath = full;
        if (final == full) final = longPath;

        ResolvedFolder resolved;
        resolved.throughLink = PassesThroughLink(WithoutTrailingSeparator(longPath));
        resolved.path = WideToUtf8(WithoutTrailingSeparator(final));
        return resolved;
    }
};

}  // namespace

std::unique_ptr<FolderIdentity> MakeFolderIdentity() {
    return std::make_unique<Win32FolderIdentity>();
}

}  // namespace tamsel::win32
