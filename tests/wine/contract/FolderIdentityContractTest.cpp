// Which folder a path names on Windows: the 8.3 name and the long name of a folder resolve to
// the same long path. (Wine 8 makes no symbolic links, so links are not tried here.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {
namespace {

std::wstring ShortName(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    const DWORD length =
        GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

TEST(FolderIdentity, ShortAndLongNamesResolveToTheSameLongFolder) {
    const std::wstring folder = L"C:\\tamsel contract long folder name";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\a file.txt";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const auto folders = MakeFolderIdentity();

    const std::string shortName = WideToUtf8(ShortName(folder));
    ASSERT_FALSE(shortName.empty());
    ASSERT_NE(shortName, WideToUtf8(folder));
    for (const std::string& path : {shortName, shortName + "\\", WideToUtf8(folder) + "\\"}) {
        const auto resolved = folders->Resolve(path);
        ASSERT_TRUE(resolved) << path;
        EXPECT_EQ(resolved->path, "C:\\tamsel contract long folder name") << path;
        EXPECT_FALSE(resolved->throughLink) << path;
    }
    const auto root = folders->Resolve("c:\\");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->path, "C:\\");
    EXPECT_FALSE(folders->Resolve(WideToUtf8(file)));
    EXPECT_FALSE(folders->Resolve("C:\\tamsel no such folder"));
    EXPECT_FALSE(folders->Resolve(""));

    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace tamsel::win32
