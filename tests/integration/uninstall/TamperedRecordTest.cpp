#include <algorithm>
#include <cctype>
#include <filesystem>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

// An installation record that points somewhere it should not. folder: the folder (as the drive
// listing names it) from which the two installed files may go, empty: none; everyFile: every
// file directly in it may go, as from a folder Setup made.
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

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whether a listing entry is a file directly in the folder, and one of the given names. Names
// are compared without regard to case, as Windows does: a Wine prefix spells "C:\windows" and
// "C:\users" in lower case.
bool IsFileIn(const std::string& entry, const std::string& folder,
              const std::vector<std::string>& names) {
    const std::string lowerEntry = LowerCase(entry);
    if (!lowerEntry.starts_with(LowerCase(folder))) return false;
    const std::string rest = lowerEntry.substr(folder.size());
    if (rest.find('\\') != std::string::npos) return false;
    if (names.empty()) return true;
    return std::any_of(names.begin(), names.end(), [&rest](const std::string& name) {
        return rest.starts_with(LowerCase(name) + " ");
    });
}

class TamperedRecordTest : public SandboxTest,
                           public ::testing::WithParamInterface<TamperedRecord> {};

TEST_P(TamperedRecordTest, NothingButTheInstalledFilesLeavesAFolderSetupDidNotMake) {
    const TamperedRecord record = GetParam();
    // Files everywhere a damaged record could point, each folder holding the names the
    // uninstaller looks for, so that only the record protects the rest.
    for (const std::string& folder :
         {std::string("C:"), std::string("C:\\Windows"), std::string("C:\\Program Files"),
          std::string("C:\\Users\\User"), std::string("C:\\Users\\User\\Documents"),
          std::string(kPrograms), std::string(kPrograms) + "\\Other",
          std::string("C:\\100% & Co\\%TEMP%")}) {
        PutFile(folder + "\\keep.txt", folder);
        PutFile(folder + "\\uninstall.exe", "u");
        PutFile(folder + "\\TamselOrry.exe", "t");
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
    const ScriptRun run = RunOnMachine(program, {"click OKButton", "answer OK"});
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status << run.err;
    Tool({"logon"});

    const std::set<std::string> after = Listing();
    const std::string folder = record.folder;
    const std::vector<std::string> installed = {"TamselOrry.exe", "uninstall.exe"};
    for (const std::string& entry : before) {
        if (after.count(entry) != 0) continue;
        const bool allowed =
            !folder.empty() &&
            IsFileIn(entry, folder, record.everyFile ? std::vector<std::string>{} : installed);
        EXPECT_TRUE(allowed) << "deleted: " << entry;
    }
    // Where the record names a folder, the installed files are gone from it.
    if (!folder.empty()) {
        for (const std::string& entry : before) {
            if (IsFileIn(entry, folder, installed)) {
                EXPECT_EQ(after.count(entry), 0u) << entry;
            }
        }
    }
    EXPECT_TRUE(KeyExists(reg::kUsers, kMenuOrderKey));
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
        // System and user folders, recorded as made by Setup or not: the installed files only.
        TamperedRecord{"C:\\", "..", "1", "c\\"},
        TamperedRecord{"C:\\Windows\\", "..\\Other", "1", "c\\Windows\\"},
        TamperedRecord{"C:\\Users\\User\\", "   ", "", "c\\Users\\User\\"},
        TamperedRecord{kProgramsFolder, "Other*", "1", kProgramsListing},
        // A folder reached through a link.
        TamperedRecord{"D:\\Docs\\", "Tamsel Orry", "1", "c\\Users\\User\\Documents\\"},
        // An ordinary folder: every file only where the record says Setup made it.
        TamperedRecord{"C:\\100% & Co\\%TEMP%\\", "100% & more", "", "c\\100% & Co\\%TEMP%\\"},
        TamperedRecord{"C:\\100% & Co\\%TEMP%\\", "100% & more", "1", "c\\100% & Co\\%TEMP%\\",
                       true}));

}  // namespace
}  // namespace tamsel::test
