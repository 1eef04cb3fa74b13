#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/RuntimeError.h"
#include "common/ui/ListControls.h"

namespace tamsel {
namespace {

// Drives, one of them not ready, and a few directories, held in memory.
class MemoryVolumes : public Volumes {
  public:
    std::set<std::string> directories{"C:\\", "C:\\Program Files", "D:\\", "D:\\Apps"};
    std::map<char, std::string> current;

    std::vector<DriveInfo> Drives() override {
        return {{'c', "System", true}, {'d', "", true}, {'a', "", false}};
    }
    std::string CurrentDirectory(char letter) override {
        const auto found = current.find(letter);
        return found != current.end() ? found->second : std::string{char(letter - 32), ':', '\\'};
    }
    void SetCurrentDirectory(char letter, const std::string& path) override {
        current[letter] = path;
    }
    bool DirectoryExists(const std::string& path) override { return directories.count(path) != 0; }
    std::vector<std::string> SubDirectories(const std::string&) override { return {}; }
};

int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST(DriveListBox, ChangesOnlyToUsableDrivesAndKeepsItsDriveWhenTheHandlerFails) {
    MemoryVolumes volumes;
    DriveListBox box("DriveBox", {}, volumes);
    int changes = 0;
    box.onChange = [&] { ++changes; };
    EXPECT_EQ(box.Entries(), (std::vector<std::string>{"c: [System]", "d:", "a:"}));
    EXPECT_EQ(box.Drive(), "c: [System]");

    box.SetDrive("C");  // the drive it shows already: no change event
    box.SetDrive("D:");
    EXPECT_EQ(box.Drive(), "d:");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ErrorNumberOf([&] { box.SetDrive("q"); }), err::kDeviceUnavailable);
    EXPECT_EQ(ErrorNumberOf([&] { box.SetDrive("a: "); }), err::kDiskNotReady);

    box.onChange = [] { throw RuntimeError::FromNumber(err::kPathNotFound); };
    EXPECT_EQ(ErrorNumberOf([&] { box.SetDrive("c"); }), err::kPathNotFound);
    EXPECT_EQ(box.Drive(), "d:");
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

    EXPECT_EQ(ErrorNumberOf([&] { box.SetPath("D:\\Missing"); }), err::kPathNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { box.SetPath("a:"); }), err::kDiskNotReady);
    box.onChange = [] { throw RuntimeError::FromNumber(err::kPermissionDenied); };
    EXPECT_EQ(ErrorNumberOf([&] { box.SetPath("D:\\"); }), err::kPermissionDenied);
    EXPECT_EQ(box.Path(), "C:\\Program Files");

    // A drive whose current directory has gone is shown from its root.
    volumes.current['d'] = "D:\\Gone";
    box.onChange = nullptr;
    box.SetPath("d:");
    EXPECT_EQ(box.Path(), "D:\\");
}

}  // namespace
}  // namespace tamsel
