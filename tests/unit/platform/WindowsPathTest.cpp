#include <gtest/gtest.h>

#include <string>

#include "platform/WindowsPath.h"

namespace tamsel {
namespace {

// Case folding and the characters of names are checked through the platforms' tests.
TEST(WindowsPathTest, DrivesAtTheStartOfAPath) {
    struct Case {
        const char* path;
        bool startsWithDrive;
        bool absolute;
        bool absoluteWithSlash;
    };
    const Case cases[] = {
        {"C:\\dir", true, true, true},      {"z:\\", true, true, true},
        {"C:/dir", true, false, true},      {"C:dir", true, false, false},
        {"C:", true, false, false},         {"1:\\", false, false, false},
        {"\xC4:\\", false, false, false},   {"\\\\server\\share", false, false, false},
        {"dir\\C:\\", false, false, false}, {"", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(StartsWithDrive(c.path), c.startsWithDrive);
        EXPECT_EQ(IsDriveAbsolute(c.path), c.absolute);
        EXPECT_EQ(IsDriveAbsolute(c.path, true), c.absoluteWithSlash);
    }
}

TEST(WindowsPathTest, TrailingSeparatorsGoExceptADriveRootsOwn) {
    EXPECT_EQ(WithoutTrailingSeparators("C:\\a\\b\\\\/"), "C:\\a\\b");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\\\\\"), "C:\\");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\"), "C:\\");
}

}  // namespace
}  // namespace tamsel
