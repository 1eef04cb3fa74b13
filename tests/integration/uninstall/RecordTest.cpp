// Installation records that say something other than what Setup wrote.
#include <algorithm>
#include <filesystem>

#include "platform/sandbox/RegistryNames.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

const std::vector<std::string> kYes = {"click OKButton", "answer OK"};

// A record that points somewhere it should not. folder: the folder (as the drive listing names
// it) from which the two installed files may go, empty: none; everyFile: every file directly in
// it may go, as from a folder Setup made.
struct TamperedRecord {
    const char* path;
    const char* group;
    const char* folderCreated;  // the uninstall entry's "InstallFolderCreated", "" for none
    const char* folder;
    bool everyFile = false;
};

std::ostream& operator<<(std::ostream& out, const TamperedRecord& record) {
    return out << "Path=\"" << record.path << "\" StartMenuGroup=\"" << record.group
               << "\" InstallFolderCreated=\"" << record.folderCreated << "\"";
}

// Whether a listing entry is a file directly in the folder: any, or one of the two installed
// files. Case is ignored, as Windows does (a Wine prefix spells "C:\windows" in lower case).
bool IsFileIn(const std::string& entry, const std::string& folder, bool anyFile) {
    const std::string name = sandbox::FoldCase(entry);
    if (folder.empty() || !name.starts_with(sandbox::FoldCase(folder))) return false;
    const std::string rest = name.substr(folder.size());
    if (rest.find('\\') != std::string::npos) return false;
    return anyFile || rest.starts_with("tamselorry.exe ") || rest.starts_with("uninstall.exe ");
}

class TamperedRecordTest : public SandboxTest,
                           public ::testing::WithParamInterface<TamperedRecord> {};

TEST_P(TamperedRecordTest, NothingButTheInstalledFilesLeavesAFolderSetupDidNotMake) {
    const TamperedRecord record = GetParam();
    // Files everywhere a damaged record could point, each folder holding the names the
    // uninstaller looks for, so that only the record protects the rest.
    for (const std::string& folder :
         std::vector<std::string>{"C:", "D:", "C:\\Windows", "C:\\Program Files", "C:\\Users\\User",
                                  "C:\\Users\\User\\Documents", kPrograms,
                                  std::string(kPrograms) + "\\Other", "C:\\100% & Co\\%TEMP%"}) {
        for (const char* name : {"keep.txt", "uninstall.exe", "TamselOrry.exe"}) {
            PutFile(folder + "\\" + name, folder);
        }
    }
    // A link on another drive to the user's documents.
    std::filesystem::create_directory_symlink(Host("C:\\Users\\User\\Documents"),
                                              Host("D:\\") / "Docs");
    PutKey(reg::kUsers, std::string(kMenuOrderKey) + "\\Other");
    PutValue(reg::kLocalMachine, kAppPathsKey, "Path", record.path);
    PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", record.group);
    if (*record.folderCreated != '\0') {
        PutValue(reg::kLocalMachine, kUninstallKey, "UninstallString",
                 std::string(record.path) + "uninstall.exe");
        PutValue(reg::kLocalMachine, kUninstallKey, "InstallFolderCreated", record.folderCreated);
    }
    const std::set<std::string> before = Listing();

    // The uninstaller runs from the build, through the drive that maps the host.
    std::string program = "Z:" + BuiltFile("dist/uninstall.exe").string();
    std::replace(program.begin(), program.end(), '/', '\\');
    const ScriptRun run = RunOnMachine(program, kYes);
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status << run.err;
    if (*record.folder == '\0') {  // the user is told that nothing was found
        EXPECT_EQ(run.EventsOf("msgbox").at(0)["text"],
                  "No installation of Tamsel Orry was found on this computer.\r\nNo program "
                  "files were deleted.");
    }
    Tool({"logon"});

    // Where the record names a folder, the installed files go from it; nothing else goes.
    const std::set<std::string> after = Listing();
    for (const std::string& entry : before) {
        const bool installed = IsFileIn(entry, record.folder, false);
        if (installed || !IsFileIn(entry, record.folder, record.everyFile)) {
            EXPECT_EQ(after.count(entry), installed ? 0u : 1u) << entry;
        }
    }
    EXPECT_TRUE(KeyExists(reg::kUsers, std::string(kMenuOrderKey) + "\\Other"));
}

const char* const kProgramsFolder =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";
const char* const kProgramsListing =
    "c\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

INSTANTIATE_TEST_SUITE_P(
    Records, TamperedRecordTest,
    ::testing::Values(
        // No folder, or none a path names: nothing goes (the uninstaller runs from the build
        // folder, which holds Setup).
        TamperedRecord{"", "", "", ""}, TamperedRecord{"C:", "..\\..", "1", ""},
        TamperedRecord{"C:\\Program Files\\..\\Windows\\", "C:Other", "1", ""},
        // A drive root and system folders, recorded as made by Setup: the installed files only.
        TamperedRecord{"D:\\", "Tamsel Orry", "1", "d\\"},
        TamperedRecord{"C:\\Windows\\", "..\\Other", "1", "c\\Windows\\"},
        TamperedRecord{kProgramsFolder, "Other*", "1", kProgramsListing},
        // A folder reached through a link.
        TamperedRecord{"D:\\Docs\\", "Tamsel Orry", "1", "c\\Users\\User\\Documents\\"},
        // An ordinary folder: every file only where the record says Setup made it.
        TamperedRecord{"C:\\100% & Co\\%TEMP%\\", "100% & more", "", "c\\100% & Co\\%TEMP%\\"},
        TamperedRecord{"C:\\100% & Co\\%TEMP%\\", "100% & more", "1", "c\\100% & Co\\%TEMP%\\",
                       true}));

using RecordTest = SandboxTest;

// A recorded group that the group-name rule refuses, here with a leading "\" as an older Setup
// recorded it. The uninstaller does not guess: the installation goes, the shortcuts stay, and
// the user is told where, with a failure status.
TEST_F(RecordTest, AGroupTheRuleRefusesKeepsItsShortcutsAndTheUserIsToldWhere) {
    InstallWithSetup();
    PutValue(reg::kLocalMachine, kAppPathsKey, "StartMenuGroup", "\\Tamsel Orry");
    ExpectFailureReport(RunOnMachine(kInstalledUninstaller, kYes), "\\Tamsel Orry");
    for (const char* link : {"Tamsel Orry.lnk", "Uninstall Tamsel Orry.lnk"}) {
        EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Tamsel Orry\\" + link)) << link;
    }
    // The rest of the removal is done.
    EXPECT_FALSE(Exists(std::string(kInstallFolder) + "\\TamselOrry.exe"));
    EXPECT_FALSE(KeyExists(reg::kLocalMachine, kUninstallKey));
    EXPECT_TRUE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
}

TEST_F(RecordTest, WithoutARecordTheUninstallerFinishesTheRemovalFromItsOwnFolder) {
    InstallWithSetup();
    // What a removal that stopped after the record was gone leaves behind.
    DeleteKey(reg::kLocalMachine, kAppPathsKey);
    DeleteKey(reg::kLocalMachine, kUninstallKey);
    const std::string folder = kInstallFolder;
    PutFile(folder + "\\notes.txt", "mine");
    const ScriptRun run = RunOnMachine(kInstalledUninstaller, kYes);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.EventsOf("msgbox").at(0)["title"], "Tamsel Orry Uninstall Complete!");
    EXPECT_FALSE(Exists(folder + "\\TamselOrry.exe"));
    // Nothing says Setup made the folder: the user's file stays, and so does the folder.
    Tool({"logon"});
    EXPECT_FALSE(Exists(kInstalledUninstaller));
    EXPECT_EQ(Read(folder + "\\notes.txt"), "mine");
}

}  // namespace
}  // namespace tamsel::test
