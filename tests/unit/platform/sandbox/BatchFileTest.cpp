// The file-system object's batch files: paths named in a form the command interpreter reads,
// and text written in its code page.
#include <gtest/gtest.h>

#include "support/SandboxTest.h"

namespace tamsel::test {
namespace {

using BatchFileTest = SandboxTest;

TEST_F(BatchFileTest, APathKeepsItsFormWhereTheOemCodePageHoldsItElseItsShortForm) {
    const std::string cyrillic = "C:\\Users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\Temp";
    PutFolder(cyrillic);
    auto fso = machine_->GetAutomation().CreateFileSystemObject();
    // Every character in code page 437: the path as it is, existing or not.
    for (const std::string path : {"C:\\Program Files\\Tamsel Orry", "C:\\Jos\xC3\xA9 Caf\xC3\xA9",
                                   "", "C:\\100%\\missing"}) {
        EXPECT_EQ(fso->BatchFilePath(path), path);
    }
    // Outside it: the short form of each name, the names that are 8.3 already kept.
    const std::string shortForm = fso->BatchFilePath(cyrillic);
    EXPECT_EQ(shortForm.rfind("C:\\Users\\", 0), 0u) << shortForm;
    EXPECT_EQ(shortForm.substr(shortForm.size() - 5), "\\Temp") << shortForm;
    EXPECT_NE(shortForm.find('~'), std::string::npos) << shortForm;
    EXPECT_TRUE(fso->FolderExists(shortForm));
    // A name that is all outside the code page, right below the root.
    const std::string programs = "C:\\\xD0\x9F\xD1\x80\xD0\xBE";
    PutFile(programs + "\\uninstall.exe");
    PutFolder("C:\\\xD0\x92\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5");
    const std::string programsShort = fso->BatchFilePath(programs);
    EXPECT_TRUE(fso->FileExists(programsShort + "\\uninstall.exe")) << programsShort;
    // A missing path has no short form; on a Cyrillic machine the path itself is fine.
    EXPECT_EQ(fso->BatchFilePath(cyrillic + "\\\xD0\x98"), "");
    machine_->SetOemCodePage(866);
    EXPECT_EQ(fso->BatchFilePath(cyrillic), cyrillic);
}

TEST_F(BatchFileTest, NamesThatShareAShortFormAreNumberedAndEachNamesItsOwnFolder) {
    // Six characters of "Программы" and "Программа" alike: "______~1" and "______~2".
    const std::string first =
        "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD0\xB0";
    const std::string second =
        "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B";
    PutFile(first + "\\a");
    PutFile(second + "\\b");
    auto fso = machine_->GetAutomation().CreateFileSystemObject();
    EXPECT_EQ(fso->BatchFilePath(first), "C:\\______~1");
    EXPECT_EQ(fso->BatchFilePath(second), "C:\\______~2");
    EXPECT_TRUE(fso->FileExists("C:\\______~1\\a"));
    EXPECT_TRUE(fso->FileExists("C:\\______~2\\b"));
}

TEST_F(BatchFileTest, TextIsWrittenInTheOemCodePageAndACharacterItLacksIsRefused) {
    auto fso = machine_->GetAutomation().CreateFileSystemObject();
    auto stream = fso->CreateBatchFile("C:\\b.bat", true);
    stream->WriteLine("del \"C:\\Jos\xC3\xA9\"");
    EXPECT_EQ(ErrorOf([&] { stream->Write("\xE6\xB8\xB8"); }), err::kInvalidProcedureCall);
    stream->Write("rem");
    stream->Close();
    EXPECT_EQ(Read("C:\\b.bat"), "del \"C:\\Jos\x82\"\r\nrem");  // 0x82 is "é" in 437
    EXPECT_THROW(machine_->SetOemCodePage(99999), std::invalid_argument);
}

}  // namespace
}  // namespace tamsel::test
