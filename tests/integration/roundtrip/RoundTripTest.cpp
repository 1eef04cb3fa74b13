#include <gtest/gtest.h>
#include <signal.h>

#include <ostream>

#include "common/ui/Application.h"
#include "common/ui/UserActions.h"
#include "platform/sandbox/SandboxSystem.h"
#include "setup/Installer.h"
#include "support/FaultInjectionRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"

// Install, an interruption, a second run, removal and log-on, over target folders, group names
// and interruptions: the user's files stay, no shortcut lands outside Programs, and the machine
// ends as it was. Sandbox only: a kill after a registry write counts Setup's calls in-process.
namespace tamsel::test {
namespace {

enum class Interruption {
    kNone,
    kRefused,           // Setup refuses the target or group with error n and writes nothing
    kKillSetup,         // Setup dies after its n-th registry value write; Setup runs again
    kFileInUse,         // a file is in use at removal step n; the uninstaller runs again
    kReinstallPending,  // installed again before the log-on of a removal
};
using enum Interruption;

// target: the folder installed into. The user has made D:\Empty\, D:\Data\ with files in
// it and in a subfolder, and D:\Docs\, a link to the Documents.
struct RoundTrip {
    const char* target;
    const char* group;
    Interruption interruption = kNone;
    int step = 0;
};

std::ostream& operator<<(std::ostream& out, const RoundTrip& c) {
    return out << "target " << c.target << " group \"" << c.group << "\" interruption "
               << static_cast<int>(c.interruption) << " step " << c.step;
}

const std::string kTempBatch = "C:\\Users\\User\\AppData\\Local\\Temp\\touninst.bat";
const std::string kProgramsListing =
    "c\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

bool IsShortcut(const std::string& entry) { return entry.find(".lnk ") != std::string::npos; }

// The sandbox machine with the registry a test gives it, and Setup's own folder where the build
// put Setup: Setup run in this process then installs the built files.
class MediaPlatform : public Platform {
  public:
    MediaPlatform(sandbox::SandboxMachine& inner, Registry& registry)
        : inner_(inner), registry_(registry), system_(inner) {}
    Registry& GetRegistry() override { return registry_; }
    Automation& GetAutomation() override { return inner_.GetAutomation(); }
    System& GetSystem() override { return system_; }
    Volumes& GetVolumes() override { return inner_.GetVolumes(); }
    FolderIdentity& GetFolderIdentity() override { return inner_.GetFolderIdentity(); }

  private:
    struct MediaSystem : sandbox::SandboxSystem {
        explicit MediaSystem(sandbox::SandboxMachine& inner)
            : SandboxSystem(inner), inner_(inner) {}
        std::string ProgramFolder() override { return inner_.WindowsPath(BuiltFile("dist")); }
        sandbox::SandboxMachine& inner_;
    };
    Platform& inner_;
    Registry& registry_;
    MediaSystem system_;
};

// A registry whose process is killed right after a given number of value writes have reached
// the store, as a power cut or a killed process leaves it.
class KilledAfterWrites : public FaultInjectionRegistry {
  public:
    KilledAfterWrites(Registry& inner, int writes) : FaultInjectionRegistry(inner), left_(writes) {}
    RegStatus SetValueEx(RegKey key, const std::string& valueName, std::uint32_t reserved,
                         std::uint32_t type, const std::uint8_t* data,
                         std::uint32_t size) override {
        const RegStatus status =
            FaultInjectionRegistry::SetValueEx(key, valueName, reserved, type, data, size);
        if (--left_ == 0) raise(SIGKILL);
        return status;
    }

  private:
    int left_;
};

class RoundTripTest : public SandboxTest, public ::testing::WithParamInterface<RoundTrip> {
  protected:
    // Setup through its window, as a user runs it: a new installation goes to the target.
    ScriptRun Install(bool changeDirectory = true) {
        std::vector<std::string> lines;
        if (changeDirectory) lines = {"click ChangeDirBTN", "set Dir " + target_, "click OKButton"};
        // Then the finish message (not run now), or the report of a refused group.
        const bool refused = GetParam().interruption == kRefused;
        lines.insert(lines.end(), {std::string("set StartMenuGroup ") + GetParam().group,
                                   "click OKBTN", refused ? "answer OK" : "answer No"});
        const ScriptRun run = RunSetup(lines);
        CheckInvariants();
        return run;
    }

    ScriptRun Uninstall() {
        const ScriptRun run =
            RunOnMachine(target_ + "uninstall.exe", {"click OKButton", "answer OK"});
        CheckInvariants();
        return run;
    }

    void LogOn() {
        const ProcessResult logon = Tool({"logon"});
        EXPECT_EQ(logon.status, 0) << logon.err;
        CheckInvariants();
    }

    // In a child process, Setup installs into the target with its registry killed after the
    // given number of value writes.
    void KillSetupAfterWrite(int writes) {
        machine_.reset();                          // no open store is carried into the child
        GTEST_FLAG_SET(death_test_style, "fast");  // the child is this process, forked here
        EXPECT_EXIT(
            {
                auto machine = sandbox::SandboxMachine::Open(MachineDir());
                KilledAfterWrites registry(machine->GetRegistry(), writes);
                MediaPlatform platform(*machine, registry);
                SilentUserInterface ui;
                ui.boxes.Answer(MsgResult::No);
                Application app(ui, "Setup");
                Installer installer(app, platform);
                app.Dispatch([&] { installer.Show(); });
                installer.InstallDirectory.caption = target_;
                installer.StartMenuGroup.caption = GetParam().group;
                user_actions::Click(app, installer, installer.OKBTN);
            },
            ::testing::KilledBySignal(SIGKILL), "");
        machine_ = sandbox::SandboxMachine::Open(MachineDir());
        CheckInvariants();
    }

    // After every step: no file of the user's lost or changed, no shortcut outside Programs.
    void CheckInvariants() {
        const auto now = Listing();
        for (const auto& entry : before_.files) {
            EXPECT_TRUE(entry.ends_with("\\") || IsShortcut(entry) || now.contains(entry))
                << "lost: " << entry;
        }
        for (const auto& entry : now) {
            EXPECT_TRUE(!IsShortcut(entry) || before_.files.contains(entry) ||
                        entry.starts_with(kProgramsListing))
                << "shortcut: " << entry;
        }
    }

    const std::string target_ = GetParam().target;
    MachineState before_;
};

TEST_P(RoundTripTest, TheMachineEndsAsItWasApartFromTheUsersFiles) {
    const RoundTrip c = GetParam();
    PutFile("C:\\Users\\User\\Documents\\letter.txt", "Dear ...");
    PutFolder("D:\\Empty");
    PutFile("D:\\Data\\budget.xls", "1,2,3");
    PutFile("D:\\Data\\Uninstall.txt", "not ours");
    PutFile("D:\\Data\\old\\photo.jpg", "jpeg");
    std::filesystem::create_directory_symlink(Host("C:\\Users\\User\\Documents"),
                                              Host("D:\\") / "Docs");
    before_ = State();
    if (c.interruption == kFileInUse && c.step == 2) {
        // A stale batch file, longer than the new one: replaced whole and then gone.
        PutFile(kTempBatch, std::string(1000, '#') + "\r\n");
    }

    if (c.interruption == kRefused) {
        ExpectFailureReport(Install(), std::to_string(c.step));
        ExpectState(before_);
        return;
    }
    const bool killed = c.interruption == kKillSetup;
    if (killed) KillSetupAfterWrite(c.step);
    // Once "UninstallString" (write 4) is written the record is complete and Setup installs into
    // the recorded folder; before, it is a new installation and the user picks the folder again.
    ASSERT_EQ(Install(!killed || c.step < 4).status, 0);
    ASSERT_TRUE(Exists(target_ + "TamselOrry.exe"));  // the uninstaller is run below

    if (c.interruption == kFileInUse) {
        const std::string group = *c.group == '\0' ? "" : std::string(c.group) + "\\";
        const std::string locked[] = {std::string(kPrograms) + "\\" + group + "Tamsel Orry.lnk",
                                      target_ + "TamselOrry.exe", kTempBatch};
        EXPECT_EQ(Tool({"lock", locked[c.step]}).status, 0);
        EXPECT_EQ(Uninstall().status, 1);
        // The record stays until what it describes is gone, so that the removal can run again.
        EXPECT_TRUE(KeyExists(reg::kLocalMachine, kAppPathsKey));
        EXPECT_TRUE(KeyExists(reg::kLocalMachine, kUninstallKey));
        EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
        EXPECT_EQ(Tool({"unlock", locked[c.step]}).status, 0);
    }
    if (c.interruption == kReinstallPending) {
        ASSERT_EQ(Uninstall().status, 0);
        ASSERT_EQ(Install().status, 0);
        LogOn();  // the removal below needs the uninstaller that this log-on must leave
    }

    EXPECT_EQ(Uninstall().status, 0);
    LogOn();
    // The batch file's rmdir takes any folder that is empty at the log-on.
    ExpectState(before_, target_ == "D:\\Empty\\" ? std::set<std::string>{"d\\Empty\\"}
                                                  : std::set<std::string>{});
}

constexpr const char* kNew = "D:\\Tamsel Orry\\";
constexpr const char* kData = "D:\\Data\\";
constexpr const char* kName = "Tamsel Orry";

std::vector<RoundTrip> Matrix() {
    std::vector<RoundTrip> rows;
    for (const char* target : {kNew, "D:\\Empty\\", kData, "D:\\Docs\\", "D:\\Docs\\Tamsel Orry\\"})
        rows.push_back({target, kName});
    // Group names the rule accepts, with either separator, dots and blanks, and a group that
    // holds another program's shortcut, which stays ...
    for (const char* group : {"Accessories/Tamsel Orry", "Tamsel..Orry", "", "Accessories"})
        rows.push_back({kNew, group});
    for (const char* group : {"Accessories\\Tamsel Orry", " Tamsel Orry"})
        rows.push_back({kData, group});
    // ... and names it refuses; a target whose parent is missing.
    for (const char* group : {"../Evil", "Accessories/../..", "\\Lead", "/Lead", ".", "Sub\\",
                              "Tamsel Orry ", "Tamsel Orry.", "C:Evil", "Tamsel*"})
        rows.push_back({kData, group, kRefused, 52});
    rows.push_back({"D:\\Missing\\Tamsel Orry\\", kName, kRefused, 76});
    // Setup killed after each of its registry value writes: "ApplicationName", "AppToUninstall",
    // "DisplayName", "UninstallString", "InstallFolderCreated", the App Paths default value,
    // "Path" and "StartMenuGroup".
    for (int step = 1; step <= 8; ++step) rows.push_back({kNew, kName, kKillSetup, step});
    for (int step : {1, 4, 5}) rows.push_back({kData, kName, kKillSetup, step});
    // A file in use at each removal step: a shortcut, the application, the batch file.
    for (int step : {0, 1, 2}) {
        rows.push_back({kNew, kName, kFileInUse, step});
        rows.push_back({kData, step == 0 ? "" : kName, kFileInUse, step});
    }
    // Installed again before the log-on of a removal.
    for (const char* target : {kNew, kData}) rows.push_back({target, kName, kReinstallPending});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Matrix, RoundTripTest, ::testing::ValuesIn(Matrix()));

}  // namespace
}  // namespace tamsel::test
