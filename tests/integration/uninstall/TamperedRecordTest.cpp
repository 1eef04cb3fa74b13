#include <algorithm>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

// An installation record that points somewhere it should not, and the one folder (as the
// drive listing names it) whose files may go; empty: none.
struct TamperedRecord {
    const char* path;
    const char* group;
    const char* removableFolder;
};

std::ostream& operator<<(std::ostream& out, const TamperedRecord& record) {
    return out << "Path=\"" << record.path << "\" StartMenuGroup=\"" << record.group << "\"";
}

class TamperedRecordTest : public SandboxTest,
                           public ::testing::WithParamInterface<TamperedRecord> {};

TEST_P(TamperedRecordTest, NothingOutsideTheRecordedInstallationIsDeleted) {
    const TamperedRecord record = GetParam();
    // Files everywhere a damaged record could point, each folder holding the names the
    // uninstaller looks for, so that only the shape of the path protects them.
    for (const std::string& folder :
         {std::string("C:"), std::string("C:\\Windows"), std::string("C:\\Program Files"),
          std::string("C:\\Users\\User"), std::string(kPrograms),
          std::string(kPrograms) + "\\Other", std::string("C:\\100% & Co\\%TEMP%")}) {
        PutFile(folder + "\\keep.txt", folder);
        PutFile(folder + "\\uninstall.exe", "u");
        PutFile(folder + "\\TamselOrry.exe", "t");
    }
    PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Other");
    PutValue(reg::kLocalMachine, kAppPathsKey, "Path", record.path);
    PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", record.group);
    const std::set<std::string> before = Listing();

    // The uninstaller runs from the build, through the drive that maps the host.
    std::string program = "Z:" + BuiltFile("dist/uninstall.exe").string();
    std::replace(program.begin(), program.end(), '/', '\\');
    const ScriptRun run = RunOnMachine(program, {"click OKButton", "answer OK"});
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status << run.err;
    Tool({"logon"});

    const std::set<std::string> after = Listing();
    const std::string removable = record.removableFolder;
    for (const std::string& entry : before) {
        if (after.count(entry) != 0) continue;
        EXPECT_TRUE(!removable.empty() && entry.starts_with(removable)) << "deleted: " << entry;
    }
    // Where the record is sound, the uninstaller did its work.
    EXPECT_EQ(removable.empty(), after == before);
    EXPECT_TRUE(KeyExists(reg::kUsers, kMenuOrderKey));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Other"));
}

INSTANTIATE_TEST_SUITE_P(
    Records, TamperedRecordTest,
    ::testing::Values(TamperedRecord{"", "", ""}, TamperedRecord{"C:\\", "..", ""},
                      TamperedRecord{"C:", "..\\..", ""},
                      TamperedRecord{"C:\\Program Files\\..\\Windows\\", "C:Other", ""},
                      TamperedRecord{"C:\\Windows\\", "..\\Other", ""},
                      TamperedRecord{"C:\\Users\\User\\", "   ", ""},
                      TamperedRecord{"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\"
                                     "Start Menu\\Programs\\",
                                     "Other*", ""},
                      TamperedRecord{"C:\\100% & Co\\%TEMP%\\", "100% & more",
                                     "c\\100% & Co\\%TEMP%\\"}));

}  // namespace
}  // namespace tamsel::test
