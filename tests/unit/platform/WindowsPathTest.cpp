#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/WindowsPath.h"

namespace tamsel {
namespace {

// Case folding and the characters of names are checked through the platforms' tests.
TEST(WindowsPathTest, DrivesAtTheStartOfAPath) {
    // A path; whether it starts with a drive; whether it is absolute with "\", with "/" too.
    const std::tuple<const char*, bool, bool, bool> cases[] = {
        {"C:\\dir", true, true, true},      {"z:\\", true, true, true},
        {"C:/dir", true, false, true},      {"C:dir", true, false, false},
        {"C:", true, false, false},         {"1:\\", false, false, false},
        {"\xC4:\\", false, false, false},   {"\\\\server\\share", false, false, false},
        {"dir\\C:\\", false, false, false}, {"", false, false, false},
    };
    for (const auto& [path, startsWithDrive, absolute, absoluteWithSlash] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(StartsWithDrive(path), startsWithDrive);
        EXPECT_EQ(IsDriveAbsolute(path), absolute);
        EXPECT_EQ(IsDriveAbsolute(path, true), absoluteWithSlash);
    }
}

TEST(WindowsPathTest, TrailingSeparatorsGoExceptADriveRootsOwn) {
    EXPECT_EQ(WithoutTrailingSeparators("C:\\a\\b\\\\/"), "C:\\a\\b");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\\\\\"), "C:\\");
}

}  // namespace
}  // namespace tamsel
