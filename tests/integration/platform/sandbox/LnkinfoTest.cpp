// Shortcuts written on the sandbox, read back by lnkinfo and ExifTool (see Lnkinfo.h). What
// Setup's own shortcuts hold is checked by the install test.

#include <gtest/gtest.h>

#include <string>

#include "common/Shortcut.h"
#include "support/Lnkinfo.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using LnkinfoTest = SandboxTest;

TEST_F(LnkinfoTest, MakeShortcutWritesTheTargetItsVolumeAndTheHotKey) {
    const std::string link = std::string(kPrograms) + "\\Tamsel Orry\\Tamsel Orry.lnk";
    PutFolder(std::string(kPrograms) + "\\Tamsel Orry");
    Shortcut(machine_->GetAutomation())
        .MakeShortcut("Tamsel Orry\\Tamsel Orry", std::string(kInstallFolder) + "\\TamselOrry.exe",
                      "CTRL+SHIFT+F", "C:\\Windows\\System32\\shell32.dll,4", "Tamsel Orry",
                      "D:\\");
    auto info = LnkinfoProperties(Host(link));
    EXPECT_EQ(info["Local path"], std::string(kInstallFolder) + "\\TamselOrry.exe");
    EXPECT_EQ(info["HotKey"], "838");            // 0x0346: Ctrl+Shift, 'F'
    EXPECT_EQ(info["Drive type"], "Fixed (3)");  // the target's volume
    EXPECT_EQ(info["Volume label"], "System");
    EXPECT_EQ(info["Long name"], "Program Files");  // the first file entry shell item

    // Saved again without the optional properties, the file leaves them out.
    auto bare = machine_->GetAutomation().CreateShell()->CreateShortCut(link);
    bare->SetTargetPath("D:\\Apps\\other.exe");
    bare->Save();
    info = LnkinfoProperties(Host(link));
    EXPECT_EQ(info["Local path"], "D:\\Apps\\other.exe");
    EXPECT_EQ(info["Volume label"], "Data");
    EXPECT_EQ(info.count("Description") + info.count("Working directory"), 0u);
}

}  // namespace
}  // namespace tamsel::test
