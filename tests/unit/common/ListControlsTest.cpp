#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "common/ui/ListControls.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

// Drives c: [System], d: [Data] and an empty removable a:, with their roots, in memory.
// The lists ask for drives by the lower-case letter they list.
class MemoryVolumes : public Volumes {
  public:
    std::map<char, std::string> current;

    std::vector<DriveInfo> Drives() override {
        return {{'c', "System", true}, {'d', "Data", true}, {'a', "", false}};
    }
    std::string CurrentDirectory(char letter) override {
        return current.contains(letter)
                   ? current[letter]
                   : std::string{static_cast<char>(std::toupper(letter)), ':', '\\'};
    }
    void SetCurrentDirectory(char letter, const std::string& path) override {
        current[letter] = path;
    }
    bool DirectoryExists(const std::string& path) override {
        return path == "C:\\" || path == "D:\\";
    }
    std::vector<std::string> SubDirectories(const std::string&) override { return {}; }
};

// Where the lists lead as the user browses, the directory chooser's own tests show; here, what
// the lists refuse and what they keep.
TEST(ListControls, RefuseUnusableDrivesAndKeepTheirPlaceWhenTheHandlerFails) {
    MemoryVolumes volumes;
    DriveListBox drives("DriveBox", {}, volumes);
    DirListBox dirs("DirBox", {}, volumes);
    int changes = 0;
    drives.onChange = dirs.onChange = [&] { ++changes; };
    EXPECT_EQ(drives.Entries(), (std::vector<std::string>{"c: [System]", "d: [Data]", "a:"}));
    drives.SetDrive("C");  // where the lists are already: no change event
    dirs.SetPath("c:\\");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(ErrorOf([&] { drives.SetDrive("q"); }), err::kDeviceUnavailable);
    EXPECT_EQ(ErrorOf([&] { drives.SetDrive("a: "); }), err::kDiskNotReady);
    EXPECT_EQ(ErrorOf([&] { dirs.SetPath("a:"); }), err::kDiskNotReady);
    EXPECT_EQ(ErrorOf([&] { dirs.SetPath("D:\\Missing"); }), err::kPathNotFound);
    drives.onChange =
        dirs.onChange = [] { throw RuntimeError::FromNumber(err::kPermissionDenied); };
    EXPECT_EQ(ErrorOf([&] { drives.SetDrive("d"); }), err::kPermissionDenied);
    EXPECT_EQ(ErrorOf([&] { dirs.SetPath("D:\\"); }), err::kPermissionDenied);
    EXPECT_EQ(drives.Drive(), "c: [System]");
    EXPECT_EQ(dirs.Path(), "C:\\");
    // A drive whose current directory has gone is shown from its root.
    volumes.current['d'] = "D:\\Gone";
    dirs.onChange = nullptr;
    dirs.SetPath("d:");
    EXPECT_EQ(dirs.Path(), "D:\\");
}

}  // namespace
}  // namespace tamsel::test
