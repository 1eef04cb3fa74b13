// The sandbox reads a batch file as cmd does: its bytes in the machine's OEM code page. A batch
// file written in another code page names other files and misses, as it does on Windows.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/sandbox/BatchInterpreter.h"
#include "platform/sandbox/CodePage.h"
#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using BatchCodePageTest = SandboxTest;

struct BatchBytes {
    const char* what;
    int machineCodePage;  // the machine's OEM code page
    int writtenIn;        // the code page the batch file was written in (65001: UTF-8)
    const char* folder;   // the folder whose file the batch deletes
    bool deleted;
};

TEST_F(BatchCodePageTest, ALineNamesItsFileOnlyInTheOemCodePage) {
    const std::string jose = "C:\\Jos\xC3\xA9 Caf\xC3\xA9";
    const std::string programs =
        "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B";
    const BatchBytes rows[] = {
        {"OEM code page", 437, 437, jose.c_str(), true},
        {"ANSI code page (1252): 0xE9 is another letter in 437", 437, 1252, jose.c_str(), false},
        {"UTF-8 bytes read as 437", 437, 65001, jose.c_str(), false},
        {"Western European OEM code page", 850, 850, jose.c_str(), true},
        {"Cyrillic OEM code page", 866, 866, programs.c_str(), true},
        {"Cyrillic in 866 on a machine of 437", 437, 866, programs.c_str(), false},
    };
    for (const BatchBytes& row : rows) {
        SCOPED_TRACE(row.what);
        machine_->SetOemCodePage(row.machineCodePage);
        const std::string file = std::string(row.folder) + "\\uninstall.exe";
        PutFile(file);
        const std::string line = "del \"" + file + "\"\r\n";
        const auto bytes = row.writtenIn == 65001 ? std::optional<std::string>(line)
                                                  : sandbox::Utf8ToCodePage(row.writtenIn, line);
        ASSERT_TRUE(bytes);
        PutFile("C:\\TEMP\\touninst.bat", *bytes);

        std::ostringstream messages;
        sandbox::BatchInterpreter(*machine_, messages).RunFile("C:\\TEMP\\touninst.bat");
        EXPECT_EQ(!Exists(file), row.deleted) << messages.str();
        EXPECT_EQ(messages.str().find("Could Not Find") != std::string::npos, !row.deleted)
            << messages.str();
    }
}

TEST_F(BatchCodePageTest, AShortNameNamesTheFolderWhateverItsLongName) {
    const std::string folder = "C:\\\xE6\xB8\xB8\xE6\x88\x8F";  // CJK: not in code page 437
    PutFile(folder + "\\uninstall.exe");
    auto fso = machine_->GetAutomation().CreateFileSystemObject();
    const std::string shortForm = fso->BatchFilePath(folder);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_TRUE(sandbox::Utf8ToCodePage(437, shortForm)) << shortForm;
    EXPECT_EQ(Host(shortForm), Host(folder));
    PutFile("C:\\TEMP\\touninst.bat",
            "del \"" + shortForm + "\\uninstall.exe\"\r\nrmdir \"" + shortForm + "\"\r\n");
    std::ostringstream messages;
    sandbox::BatchInterpreter(*machine_, messages).RunFile("C:\\TEMP\\touninst.bat");
    EXPECT_FALSE(Exists(folder)) << messages.str();
}

}  // namespace
}  // namespace tamsel::test
