#include <algorithm>

#include "UninstallHarness.h"

namespace tamsel::test {
namespace {

// An installation record that points somewhere it should not, and the one folder whose files
// may go (empty: none).
struct TamperedRecord {
    const char* path;
    const char* group;
    const char* removableFolder;
};

std::ostream& operator<<(std::ostream& out, const TamperedRecord& record) {
    return out << "Path=\"" << record.path << "\" StartMenuGroup=\"" << record.group << "\"";
}

class TamperedRecordTest : public UninstallTest,
                           public ::testing::WithParamInterface<TamperedRecord> {
  protected:
    // Files everywhere a damaged record could point, each folder holding the names the
    // uninstaller looks for, so that only the shape of the path protects them.
    void PlantBystanders() {
        for (const std::string& folder : std::vector<std::string>{
                 "C:", "D:", "C:\\Windows", "C:\\Windows\\System32", "C:\\Program Files",
                 "C:\\Program Files\\Other", "C:\\Users\\User", "C:\\Users\\User\\Documents",
                 "C:\\Users\\User\\Documents\\Projects", "C:\\Users\\User\\AppData\\Local\\Temp",
                 std::string(kProgramsFolder), std::string(kProgramsFolder) + "\\Other",
                 "C:\\100% & Co"}) {
            PutFile(folder + "\\keep.txt", folder);
            if (folder != "C:\\Users\\User\\Documents\\Projects") {
                PutFile(folder + "\\uninstall.exe", "u");
                PutFile(folder + "\\TamselOrry.exe", "t");
            }
        }
        PutFile("C:\\100% & Co\\%TEMP%\\uninstall.exe", "u");
        PutFile("C:\\100% & Co\\%TEMP%\\TamselOrry.exe", "t");
        CreateKey(reg::kUsers, kMenuOrderKey);
        CreateKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Other");
    }
};

TEST_P(TamperedRecordTest, NothingOutsideTheRecordedInstallationIsDeleted) {
    const TamperedRecord record = GetParam();
    PlantBystanders();
    SetString(reg::kLocalMachine, kAppPathsKey, "Path", record.path);
    SetString(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", record.group);
    const std::set<std::string> before = Listing();

    // The uninstaller runs from the build, through the drive that maps the host.
    std::string program = "Z:" + BuiltFile("dist/uninstall.exe").string();
    std::replace(program.begin(), program.end(), '/', '\\');
    const ScriptRun run = RunUninstaller({"click OKButton", "answer OK"}, program);
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status << run.err << run.problem;
    ToolResult({"logon"});

    const std::set<std::string> after = Listing();
    const std::string removable = record.removableFolder;
    for (const std::string& entry : before) {
        if (after.count(entry)) continue;
        const bool allowed = !removable.empty() && entry.rfind(removable, 0) == 0;
        EXPECT_TRUE(allowed) << "deleted: " << entry;
    }
    EXPECT_TRUE(KeyExists(reg::kUsers, kMenuOrderKey));
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Other"));
}

INSTANTIATE_TEST_SUITE_P(
    Records, TamperedRecordTest,
    ::testing::Values(
        TamperedRecord{"", "", ""}, TamperedRecord{"C:\\", "..", ""},
        TamperedRecord{"C:", "..\\..", ""}, TamperedRecord{"D:\\", "\\", ""},
        TamperedRecord{"C:\\\\", ".", ""}, TamperedRecord{"C:\\Windows\\", "..\\Other", ""},
        TamperedRecord{"C:\\Windows\\System32\\", "Other\\..\\..", ""},
        TamperedRecord{"C:\\Program Files\\", "C:\\Users\\User\\Documents", ""},
        TamperedRecord{"C:\\Program Files\\..\\Windows\\", "C:Other", ""},
        TamperedRecord{"C:\\Users\\User\\", "   ", ""},
        TamperedRecord{"C:\\Users\\User\\Documents\\", "Other\\\\x", ""},
        TamperedRecord{"C:\\Users\\User\\Documents\\Projects\\", "..\\..\\..\\..\\..\\..", ""},
        TamperedRecord{"C:\\Users\\User\\AppData\\Local\\Temp\\", "/Other", ""},
        TamperedRecord{"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start "
                       "Menu\\Programs\\",
                       "Other*", ""},
        TamperedRecord{"Windows\\", "%APPDATA%", ""}, TamperedRecord{"C:Windows\\", "", ""},
        TamperedRecord{"\\\\server\\share\\", "", ""},
        TamperedRecord{"C:\\100% & Co\\%TEMP%\\", "100% & more", "C:\\100% & Co\\%TEMP%"}));

}  // namespace
}  // namespace tamsel::test
