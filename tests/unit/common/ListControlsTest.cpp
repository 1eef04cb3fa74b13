#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui/ListControls.h"
#include "support/MemoryVolumes.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

TEST(DriveListBox, ChangesOnlyToUsableDrivesAndKeepsItsDriveWhenTheHandlerFails) {
    MemoryVolumes volumes;
    DriveListBox box("DriveBox", {}, volumes);
    int changes = 0;
    box.onChange = [&] { ++changes; };
    EXPECT_EQ(box.Entries(), (std::vector<std::string>{"c: [System]", "d: [Data]", "a:"}));
    EXPECT_EQ(box.Drive(), "c: [System]");
    box.SetDrive("C");  // the drive it shows already: no change event
    box.SetDrive("D:");
    EXPECT_EQ(box.Drive(), "d: [Data]");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ErrorOf([&] { box.SetDrive("q"); }), err::kDeviceUnavailable);
    EXPECT_EQ(ErrorOf([&] { box.SetDrive("a: "); }), err::kDiskNotReady);
    box.onChange = [] { throw RuntimeError::FromNumber(err::kPathNotFound); };
    EXPECT_EQ(ErrorOf([&] { box.SetDrive("c"); }), err::kPathNotFound);
    EXPECT_EQ(box.Drive(), "d: [Data]");
}

TEST(DirListBox, FollowsDrivesAndEntriesAndKeepsItsPathOnFailure) {
    MemoryVolumes volumes;
    DirListBox box("DirBox", {}, volumes);
    std::vector<std::string> seen;
    box.onChange = [&] { seen.push_back(box.Path()); };
    box.SetPath("C:\\Program Files\\");
    EXPECT_EQ(box.Levels(), (std::vector<std::string>{"C:\\", "Program Files"}));
    box.SetPath("d:");                 // a drive never visited: its root
    box.SetPath("Apps");               // an entry of the list
    box.SetPath("c: [System]");        // back where C: was left
    box.SetPath("C:\\Program Files");  // unchanged: no event
    EXPECT_EQ(seen, (std::vector<std::string>{"C:\\Program Files", "D:\\", "D:\\Apps",
                                              "C:\\Program Files"}));
    EXPECT_EQ(ErrorOf([&] { box.SetPath("D:\\Missing"); }), err::kPathNotFound);
    EXPECT_EQ(ErrorOf([&] { box.SetPath("a:"); }), err::kDiskNotReady);
    box.onChange = [] { throw RuntimeError::FromNumber(err::kPermissionDenied); };
    EXPECT_EQ(ErrorOf([&] { box.SetPath("D:\\"); }), err::kPermissionDenied);
    EXPECT_EQ(box.Path(), "C:\\Program Files");
    // A drive whose current directory has gone is shown from its root.
    volumes.current['d'] = "D:\\Gone";
    box.onChange = nullptr;
    box.SetPath("d:");
    EXPECT_EQ(box.Path(), "D:\\");
}

}  // namespace
}  // namespace tamsel::test
