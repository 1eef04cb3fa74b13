// Which folder a path names on Windows: the 8.3 name and the long name of a folder resolve to
// the same long path, and a symbolic link to a folder counts as a link (where links can be
// made: Wine 8 makes none).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/AnsiText.h"
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

TEST(FolderIdentity, AFolderReachedThroughASymbolicLinkResolvesToItsTarget) {
    const std::wstring target = L"C:\\tamsel contract target";
    const std::wstring link = L"C:\\tamsel contract link";
    CreateDirectoryW(target.c_str(), nullptr);
    CreateDirectoryW((target + L"\\inner").c_str(), nullptr);
    RemoveDirectoryW(link.c_str());
    // Wine 8 answers success without making the link: nothing to look at then.
    const bool made = CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                          SYMBOLIC_LINK_FLAG_DIRECTORY |
                                              SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
                      GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!made) {
        RemoveDirectoryW((target + L"\\inner").c_str());
        RemoveDirectoryW(target.c_str());
        GTEST_SKIP() << "no symbolic links here";
    }
    const auto folders = MakeFolderIdentity();
    for (const char* path : {"C:\\tamsel contract link", "C:\\tamsel contract link\\inner\\"}) {
        const auto resolved = folders->Resolve(path);
        ASSERT_TRUE(resolved) << path;
        EXPECT_TRUE(resolved->throughLink) << path;
        EXPECT_EQ(resolved->path.rfind("C:\\tamsel contract target", 0), 0u) << resolved->path;
    }
    EXPECT_FALSE(folders->Resolve("C:\\tamsel contract target")->throughLink);

    RemoveDirectoryW(link.c_str());
    RemoveDirectoryW((target + L"\\inner").c_str());
    RemoveDirectoryW(target.c_str());
}

}  // namespace
}  // namespace tamsel::win32
