#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "common/ui/Application.h"
#include "common/ui/UserActions.h"
#include "platform/sandbox/SandboxSystem.h"
#include "setup/Installer.h"
#include "support/FaultInjectionRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SandboxTest.h"

// Install, an interruption, a second run, removal and log-on, over a matrix of target folders,
// group names and interruptions. Every case must keep the user's files, put no shortcut outside
// the Programs folder, show the uninstaller's completion message only when both shortcuts are
// gone, and leave the machine as it was apart from the user's files and their folders.
//
// Sandbox only, unlike the black-box suites of Setup and the uninstaller: a kill after each
// registry write needs Setup's registry calls counted inside its process (a fault-injecting
// registry in a forked Setup), which the Windows build under Wine cannot offer. A file held open
// and a reinstall before the log-on are also in the black-box suites, which run under Wine too.
namespace tamsel::test {
namespace {

namespace fs = std::filesystem;

enum class Interruption {
    kNone,
    kKillSetup,         // Setup dies after its n-th registry value write; Setup runs again
    kFileInUse,         // a file is in use at removal step n; the uninstaller runs again
    kReinstallPending,  // installed again before the log-on of a removal
};

// target: the folder installed into. The user has made D:\Empty\, D:\Data\ with files in
// it and in a subfolder, and D:\Docs\, a link to the Documents; D:\Tamsel Orry\ and
// D:\Docs\Tamsel Orry\ are made by Setup.
struct RoundTrip {
    const char* target;
    const char* group;
    Interruption interruption = Interruption::kNone;
    int step = 0;
    bool groupRefused = false;
};

std::ostream& operator<<(std::ostream& out, const RoundTrip& c) {
    return out << "target " << c.target << " group \"" << c.group << "\" interruption "
               << static_cast<int>(c.interruption) << " step " << c.step;
}

const std::string kUserDocuments = "C:\\Users\\User\\Documents";
const std::string kTempBatch = "C:\\Users\\User\\AppData\\Local\\Temp\\touninst.bat";
const std::string kProgramsListing =
    "c\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

bool IsShortcut(const std::string& entry) { return entry.find(".lnk ") != std::string::npos; }
bool IsOurShortcut(const std::string& entry) {
    return entry.find("\\Tamsel Orry.lnk ") != std::string::npos ||
           entry.find("\\Uninstall Tamsel Orry.lnk ") != std::string::npos;
}

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
        using SandboxSystem::SandboxSystem;
        std::string ProgramFolder() override {
            std::string folder = "Z:" + BuiltFile("dist").string();
            std::replace(folder.begin(), folder.end(), '/', '\\');
            return folder;
        }
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

// In a child process: Setup on the machine, installing into target with group, killed after
// its writes-th registry value write. Never returns.
[[noreturn]] void InstallUntilKilled(const fs::path& machineDir, int writes,
                                     const std::string& target, const std::string& group) {
    try {
        auto machine = sandbox::SandboxMachine::Open(machineDir);
        KilledAfterWrites registry(machine->GetRegistry(), writes);
        MediaPlatform platform(*machine, registry);
        SilentUserInterface ui;
        ui.boxes.Answer(MsgResult::No);
        Application app(ui, "Setup");
        Installer installer(app, platform);
        app.Dispatch([&] { installer.Show(); });
        installer.InstallDirectory.caption = target;
        installer.StartMenuGroup.caption = group;
        user_actions::Click(app, installer, installer.OKBTN);
        _exit(app.ExitStatus() == 0 ? 10 : 11);  // never killed
    } catch (...) {
        _exit(12);
    }
}

class RoundTripTest : public SandboxTest, public ::testing::WithParamInterface<RoundTrip> {
  protected:
    // The user's own files and folders, arranged before anything is installed.
    void ArrangeUserFiles() {
        PutFile(kUserDocuments + "\\letter.txt", "Dear ...");
        PutFolder("D:\\Empty");
        PutFile("D:\\Data\\budget.xls", "1,2,3");
        PutFile("D:\\Data\\Uninstall.txt", "not ours");
        PutFile("D:\\Data\\old\\photo.jpg", "jpeg");
        fs::create_directory_symlink(Host(kUserDocuments), Host("D:\\") / "Docs");
    }

    std::vector<std::string> SetupScript(bool changeDirectory) const {
        std::vector<std::string> lines;
        if (changeDirectory) {
            lines = {"click ChangeDirBTN", "set Dir " + std::string(GetParam().target),
                     "click OKButton"};
        }
        lines.push_back(std::string("set StartMenuGroup ") + GetParam().group);
        lines.push_back("click OKBTN");
        // The finish message (not run now), or the report of a refused group.
        lines.push_back(GetParam().groupRefused ? "answer OK" : "answer No");
        return lines;
    }

    // Setup through its window, as a user runs it: a new installation goes to the target.
    ScriptRun Install(bool changeDirectory = true) {
        const ScriptRun run = RunSetup(SetupScript(changeDirectory));
        CheckInvariants();
        return run;
    }

    ScriptRun Uninstall() {
        const ScriptRun run = RunOnMachine(std::string(GetParam().target) + "uninstall.exe",
                                           {"click OKButton", "answer OK"});
        CheckInvariants();
        // The completion message only when both shortcuts are gone.
        bool completed = false;
        for (const auto& box : run.EventsOf("msgbox")) {
            completed = completed || box["title"] == "Tamsel Orry Uninstall Complete!";
        }
        if (completed) {
            for (const auto& entry : Listing()) EXPECT_FALSE(IsOurShortcut(entry)) << entry;
        }
        return run;
    }

    void LogOn() {
        const ProcessResult logon = Tool({"logon"});
        EXPECT_EQ(logon.status, 0) << logon.err;
        CheckInvariants();
    }

    void KillSetupAfterWrite(int writes) {
        machine_.reset();  // no open store is carried into the child
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            InstallUntilKilled(MachineDir(), writes, std::string(GetParam().target),
                               GetParam().group);
        }
        int status = 0;
        waitpid(child, &status, 0);
        machine_ = sandbox::SandboxMachine::Open(MachineDir());
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        CheckInvariants();
    }

    // After every step: no file of the user's lost or changed, no shortcut outside Programs.
    void CheckInvariants() {
        const auto now = Listing();
        for (const auto& file : userFiles_) EXPECT_EQ(now.count(file), 1u) << "lost: " << file;
        for (const auto& entry : now) {
            if (IsShortcut(entry) && before_.count(entry) == 0) {
                EXPECT_TRUE(entry.starts_with(kProgramsListing)) << "shortcut: " << entry;
            }
        }
    }

    std::set<std::string> before_;
    std::set<std::string> userFiles_;
};

TEST_P(RoundTripTest, TheMachineEndsAsItWasApartFromTheUsersFiles) {
    const RoundTrip c = GetParam();
    ArrangeUserFiles();
    const MachineState before = State();
    before_ = before.files;
    for (const auto& entry : before_) {
        if (!entry.ends_with("\\") && !IsShortcut(entry)) userFiles_.insert(entry);
    }
    if (c.interruption == Interruption::kFileInUse && c.step == 2) {
        PutFile(kTempBatch, "left from before");  // a stale batch file, replaced and then gone
    }

    if (c.groupRefused) {
        const ScriptRun run = Install();
        EXPECT_EQ(run.status, 1) << run.err;
        const auto boxes = run.EventsOf("msgbox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0]["text"].get<std::string>().find("52"), std::string::npos) << boxes[0];
        ExpectState(before);
        return;
    }

    switch (c.interruption) {
        case Interruption::kNone:
            ASSERT_EQ(Install().status, 0);
            break;
        case Interruption::kKillSetup:
            KillSetupAfterWrite(c.step);
            // Once "UninstallString" is written the record is complete and Setup installs into
            // the recorded folder; before, it is a new installation and the user picks the
            // folder again.
            ASSERT_EQ(Install(c.step < 4).status, 0);
            break;
        case Interruption::kFileInUse:
        case Interruption::kReinstallPending:
            ASSERT_EQ(Install().status, 0);
            break;
    }
    const std::string folder = c.target;
    ASSERT_TRUE(Exists(folder + "uninstall.exe"));
    ASSERT_TRUE(Exists(folder + "TamselOrry.exe"));

    if (c.interruption == Interruption::kFileInUse) {
        const std::string group = *c.group == '\0' ? "" : std::string(c.group) + "\\";
        const std::string locked[] = {std::string(kPrograms) + "\\" + group + "Tamsel Orry.lnk",
                                      folder + "TamselOrry.exe", kTempBatch};
        EXPECT_EQ(Tool({"lock", locked[c.step]}).status, 0);
        const ScriptRun stopped = Uninstall();
        EXPECT_EQ(stopped.status, 1) << stopped.err;
        EXPECT_EQ(Tool({"unlock", locked[c.step]}).status, 0);
    }
    if (c.interruption == Interruption::kReinstallPending) {
        ASSERT_EQ(Uninstall().status, 0);
        ASSERT_EQ(Install().status, 0);
        LogOn();
        // The log-on left the new installation whole.
        EXPECT_TRUE(Exists(folder + "uninstall.exe"));
        EXPECT_TRUE(Exists(folder + "TamselOrry.exe"));
        EXPECT_FALSE(StringValue(reg::kLocalMachine, kRunOnceKey, "Tamsel Orry Uninstall"));
    }

    const ScriptRun removal = Uninstall();
    EXPECT_EQ(removal.status, 0) << removal.err;
    LogOn();

    // The batch file's rmdir takes any folder that is empty at the log-on.
    ExpectState(before, folder == "D:\\Empty\\" ? std::set<std::string>{"d\\Empty\\"}
                                                : std::set<std::string>{});
}

constexpr const char* kNew = "D:\\Tamsel Orry\\";
constexpr const char* kData = "D:\\Data\\";
constexpr auto kKill = Interruption::kKillSetup;
constexpr auto kInUse = Interruption::kFileInUse;

INSTANTIATE_TEST_SUITE_P(
    Matrix, RoundTripTest,
    ::testing::Values(
        // Targets.
        RoundTrip{kNew, "Tamsel Orry"}, RoundTrip{"D:\\Empty\\", "Tamsel Orry"},
        RoundTrip{kData, "Tamsel Orry"}, RoundTrip{"D:\\Docs\\", "Tamsel Orry"},
        RoundTrip{"D:\\Docs\\Tamsel Orry\\", "Tamsel Orry"},
        // Group names the rule accepts, with either separator, dots and blanks.
        RoundTrip{kNew, "Accessories/Tamsel Orry"}, RoundTrip{kData, "Accessories\\Tamsel Orry"},
        RoundTrip{kNew, "Tamsel..Orry"}, RoundTrip{kData, " Tamsel Orry"}, RoundTrip{kNew, ""},
        // A group that holds another program's shortcut stays.
        RoundTrip{kNew, "Accessories"},
        // ... and names it refuses: nothing is written.
        RoundTrip{kData, "../Evil", Interruption::kNone, 0, true},
        RoundTrip{kData, "Accessories/../..", Interruption::kNone, 0, true},
        RoundTrip{kData, "\\Lead", Interruption::kNone, 0, true},
        RoundTrip{kData, "/Lead", Interruption::kNone, 0, true},
        RoundTrip{kData, ".", Interruption::kNone, 0, true},
        RoundTrip{kData, "Sub\\", Interruption::kNone, 0, true},
        RoundTrip{kData, "Tamsel Orry ", Interruption::kNone, 0, true},
        RoundTrip{kData, "Tamsel Orry.", Interruption::kNone, 0, true},
        // Setup killed after each of its registry value writes: "ApplicationName",
        // "AppToUninstall", "DisplayName", "UninstallString", "InstallFolderCreated", the App
        // Paths default value, "Path" and "StartMenuGroup".
        RoundTrip{kNew, "Tamsel Orry", kKill, 1}, RoundTrip{kNew, "Tamsel Orry", kKill, 2},
        RoundTrip{kNew, "Tamsel Orry", kKill, 3}, RoundTrip{kNew, "Tamsel Orry", kKill, 4},
        RoundTrip{kNew, "Tamsel Orry", kKill, 5}, RoundTrip{kNew, "Tamsel Orry", kKill, 6},
        RoundTrip{kNew, "Tamsel Orry", kKill, 7}, RoundTrip{kNew, "Tamsel Orry", kKill, 8},
        RoundTrip{kData, "Tamsel Orry", kKill, 1}, RoundTrip{kData, "Tamsel Orry", kKill, 4},
        RoundTrip{kData, "Tamsel Orry", kKill, 5},
        // A file in use at each removal step: a shortcut, the application, the batch file.
        RoundTrip{kNew, "Tamsel Orry", kInUse, 0}, RoundTrip{kNew, "Tamsel Orry", kInUse, 1},
        RoundTrip{kNew, "Tamsel Orry", kInUse, 2}, RoundTrip{kData, "", kInUse, 0},
        RoundTrip{kData, "Tamsel Orry", kInUse, 1}, RoundTrip{kData, "Tamsel Orry", kInUse, 2},
        // Installed again before the log-on of a removal.
        RoundTrip{kNew, "Tamsel Orry", Interruption::kReinstallPending},
        RoundTrip{kData, "Tamsel Orry", Interruption::kReinstallPending}));

}  // namespace
}  // namespace tamsel::test
