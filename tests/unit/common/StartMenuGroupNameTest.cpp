#include <gtest/gtest.h>

#include "common/StartMenuGroupName.h"

namespace tamsel {
namespace {

TEST(StartMenuGroupName, AcceptsOnlyNamesOfFoldersInsideThePrograms) {
    for (const char* group :
         {"", "Tamsel Orry", "Accessories\\Tamsel Orry", "Accessories/Tamsel Orry", "Tamsel.Orry",
          " Tamsel Orry", ".Hidden", "100% & Co", "Games\\..Extra", "a/b\\c"}) {
        EXPECT_TRUE(IsAcceptedStartMenuGroup(group)) << group;
    }
    for (const char* group :
         {// out of the Programs folder
          "..", "../Evil", "..\\Evil", "Accessories/../..", "Accessories\\..\\..", "a/..",
          // a drive, a leading separator
          "C:Evil", "C:\\Evil", "\\Lead", "/Lead", "\\\\server\\share",
          // empty levels, a trailing separator included
          "Sub\\", "Sub/", "a\\\\b", "a//b", "\\", "/",
          // levels Windows would not keep as named
          ".", "...", " ", "Tamsel Orry ", "Tamsel Orry.", "Sub.\\Tamsel", "Sub \\Tamsel",
          // characters no name may hold
          "Tamsel*", "Tamsel?", "Tamsel|Orry", "Tamsel<", "Tamsel\"Orry", "Tamsel\tOrry"}) {
        EXPECT_FALSE(IsAcceptedStartMenuGroup(group)) << group;
    }
    // Both separators name levels; the path of a group has backslashes only.
    EXPECT_EQ(StartMenuGroupPath("a/b\\c"), "a\\b\\c");
}

}  // namespace
}  // namespace tamsel
