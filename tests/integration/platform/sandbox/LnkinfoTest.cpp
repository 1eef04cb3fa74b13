// Shortcuts written on the sandbox, read back by lnkinfo and ExifTool (see Lnkinfo.h). What
// Setup's own shortcuts hold is checked by the install test; the header's numbers by the
// shell's contract test.
#include <string>
#include <tuple>

#include "support/Lnkinfo.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using LnkinfoTest = SandboxTest;

TEST_F(LnkinfoTest, AShortcutHoldsItsTargetsVolumeAndLeavesOutWhatWasNotSet) {
    const std::string link = std::string(kPrograms) + "\\Tamsel Orry.lnk";
    auto shell = machine_->GetAutomation().CreateShell();
    // The target, its volume's label and its first level (the first file entry shell item).
    for (const auto& [target, label, firstLevel] :
         {std::tuple{std::string(kInstallFolder) + "\\TamselOrry.exe", "System", "Program Files"},
          {"D:\\Apps\\other.exe", "Data", "Apps"}}) {
        auto shortcut = shell->CreateShortCut(link);  // each save replaces the file
        shortcut->SetTargetPath(target);
        shortcut->Save();
        auto info = LnkinfoProperties(Host(link));
        EXPECT_EQ(info["Local path"], target);
        EXPECT_EQ(info["Drive type"], "Fixed (3)");
        EXPECT_EQ(info["Volume label"], label);
        EXPECT_EQ(info["Long name"], firstLevel);
        EXPECT_EQ(info.count("Description") + info.count("Working directory"), 0u);
    }
}

}  // namespace
}  // namespace tamsel::test
