#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/ui/ListControls.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

// Drives c: [System], d: [Data] and an empty removable a:, and a few directories, in memory.
// The lists ask for drives by the lower-case letter they list.
class MemoryVolumes : public Volumes {
  public:
    std::set<std::string> directories{"C:\\", "C:\\Program Files", "D:\\", "D:\\Apps"};
    std::map<char, std::string> current;

    std::vector<DriveInfo> Drives() override {
        return {{'c', "System", true}, {'d', "Data", true}, {'a', "", false}};
    }
    std::string CurrentDirectory(char letter) override {
        const auto found = current.find(letter);
        if (found != current.end()) return found->second;
        return {static_cast<char>(std::toupper(letter)), ':', '\\'};
    }
    void SetCurrentDirectory(char letter, const std::string& path) override {
        current[letter] = path;
    }
    bool DirectoryExists(const std::string& path) override { return directories.count(path) != 0; }
    std::vector<std::string> SubDirectories(const std::string&) override { return {}; }
};

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

// Where the lists lead as the user browses, the directory chooser's own tests show.
TEST(DirListBox, KeepsItsPathWhenTheTargetOrTheHandlerFails) {
    MemoryVolumes volumes;
    DirListBox box("DirBox", {}, volumes);
    int changes = 0;
    box.onChange = [&] { ++changes; };
    box.SetPath("C:\\Program Files\\");
    box.SetPath("C:\\Program Files");  // unchanged: no event
    EXPECT_EQ(changes, 1);
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
