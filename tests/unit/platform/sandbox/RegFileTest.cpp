#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/sandbox/DefaultRegistry.h"
#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/RegFileText.h"
#include "platform/sandbox/SandboxMachine.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/RegistryValues.h"
#include "support/ScratchDirectory.h"

namespace tamsel::sandbox {
namespace {

using namespace std::string_literals;
using namespace tamsel::test;
using ::testing::StartsWith;
using ::testing::ThrowsMessage;

constexpr RegKey kLm = reg::kLocalMachine;

TEST(RegFileTest, AFreshMachineWithOddValuesExportsAndImportsBackByteForByte) {
    ScratchDirectory dir;
    auto machine = SandboxMachine::Open(dir.Path() / "machine");
    SqliteRegistry& original = machine->GetSqliteRegistry();
    const std::string odd = "SOFTWARE\\Odd \"Values\"\\[Brackets]";
    const std::vector<std::pair<std::string, StoredValue>> values = {
        {"no NUL", {reg::kSz, BytesOf("text")}},
        {"embedded NUL", {reg::kSz, BytesOf("a\0b\0"s)}},
        {"empty", {reg::kSz, {}}},
        {"line\nbreak \"quoted\" back\\slash", {reg::kSz, BytesOf("one\r\ntwo\0"s)}},
        {"not UTF-8", {reg::kSz, {'a', 0x80, 0xFF, 0xC3, 0}}},
        {"expand", {reg::kExpandSz, BytesOf("%TEMP%\\\xF0\x9F\x98\x80\0"s)}},
        {"multi", {reg::kMultiSz, BytesOf("a\0bc\0\0"s)}},
        {"short dword", {reg::kDword, {1, 2}}},
        {"custom type", {0x20000, {0xAB}}},
        {"long binary", {reg::kBinary, Bytes(300, 0x5A)}},
        {"", {reg::kSz, BytesOf("default\0"s)}},
    };
    for (const auto& [name, value] : values) {
        ASSERT_EQ(Put(original, kLm, odd, name, value.type, value.data), reg::kSuccess) << name;
    }
    // The whole machine goes into a new registry.
    auto copy = SqliteRegistry::Open(dir.Path() / "copy.db");
    const std::string exported = ExportRegFile(original);
    ImportRegFile(*copy, exported);
    EXPECT_EQ(ExportRegFile(*copy), exported);
    for (const auto& [name, value] : values) EXPECT_EQ(Get(*copy, kLm, odd, name), value) << name;
    // Lines of hex data stay within 80 columns, as regedit keeps them.
    std::istringstream lines(exported);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  ") || line.ends_with("\\")) {
            EXPECT_LE(line.size(), 80u) << line;
        }
    }
}

// regedit's forms of a file are all taken: CRLF lines, comments, deletions, any case of a root's
// or a type's name, hex data continued on the next line; the export writes one form of each, its
// keys and values sorted without regard to case and each name in the case it was created with.
TEST(RegFileTest, ImportTakesRegeditsFormsAndExportWritesOneOfEach) {
    ScratchDirectory dir;
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Old\\Sub\\Deeper]\r\n"
        "[-HKEY_LOCAL_MACHINE\\Old]\r\n"
        "[-HKEY_LOCAL_MACHINE\\NeverThere]\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\b]\r\n"
        "\"Zeta\"=\"z\"\r\n"
        "\"gone\"=\"x\"\r\n"
        "\"gone\"=-\r\n"
        "\"missing\"=-\r\n"
        "\"alpha\"=\"C:\\\\Dir \\\"q\\\"\"\r\n"
        "@=\"def\"\r\n"
        "\"n\"=DWORD:FFFFFFFC\r\n"
        "\"x\"=hex(2):25,00,41,00,25,00,00,00\r\n"
        "\"bin\"=hex:01,\\\r\n"
        "    AB\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\C]\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
        "[HKCU\\Deep\\New]\r\n"
        "@=\"\xE2\x82\xAC\"\r\n";
    auto registry = SqliteRegistry::Open(dir.Path() / "r.db");
    ImportRegFile(*registry, text);
    EXPECT_FALSE(registry->KeyExists(kLm, "Old"));
    EXPECT_EQ(Get(*registry, reg::kCurrentUser, "Deep\\New", ""),
              (StoredValue{reg::kSz, BytesOf("\xE2\x82\xAC\0"s)}));
    EXPECT_EQ(ExportRegFile(*registry, "hklm\\SOFTWARE"),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software]\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\A]\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\b]\n"
              "@=\"def\"\n"
              "\"alpha\"=\"C:\\\\Dir \\\"q\\\"\"\n"
              "\"bin\"=hex:01,ab\n"
              "\"n\"=dword:fffffffc\n"
              "\"x\"=hex(2):25,00,41,00,25,00,00,00\n"
              "\"Zeta\"=\"z\"\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\C]\n\n");
    EXPECT_THROW(ExportRegFile(*registry, "HKLM\\Software\\Missing"), std::runtime_error);
    EXPECT_THROW(ExportRegFile(*registry, "HKEY_NOWHERE\\Software"), std::runtime_error);

    // The same file as regedit saves it: UTF-16LE with a byte-order mark.
    auto wide = SqliteRegistry::Open(dir.Path() / "wide.db");
    auto utf16 = AnsiToUtf16Le(text);
    ImportRegFile(*wide, "\xFF\xFE"s + std::string(utf16.begin(), utf16.end()));
    EXPECT_EQ(ExportRegFile(*wide), ExportRegFile(*registry));

    // REGEDIT4 files carry text data in hex as ANSI bytes, not UTF-16LE.
    ImportRegFile(*registry, "REGEDIT4\n\n[HKEY_USERS\\.DEFAULT]\n\"e\"=hex(2):41,42,00\n");
    EXPECT_EQ(Get(*registry, reg::kUsers, ".DEFAULT", "e"),
              (StoredValue{reg::kExpandSz, BytesOf("AB\0"s)}));
}

TEST(RegFileTest, MalformedFileChangesNothingAndNamesTheLine) {
    ScratchDirectory dir;
    auto registry = SqliteRegistry::Open(dir.Path() / "r.db");
    WriteDefaultRegistry(*registry);
    const std::string before = ExportRegFile(*registry);
    const std::string good =
        "Windows Registry Editor Version 5.00\n\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft]\n"
        "[HKEY_LOCAL_MACHINE\\Added]\n"
        "\"v\"=\"x\"\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Not a registry file\n[HKEY_USERS\\x]\n", "line 1:"},
        {good + "\"w\"=dword:123456789\n", "line 6:"},
        {good + "\"w\"=hex:01,2g\n", "line 6:"},
        {good + "\"w\"=hex:01,\\\n", "line 6:"},
        {good + "\"w\"=\"unterminated\n", "line 6:"},
        {good + "\"w\"=\"C:\\Windows\"\n", "line 6:"},
        {good + "\"w\"=\"x\" trailing\n", "line 6:"},
        {good + "\"w\" \"x\"\n", "line 6:"},
        {good + "\n[HKEY_NOWHERE\\x]\n", "line 7:"},
        {good + "[HKEY_LOCAL_MACHINE\\a\\\\b]\n", "line 6:"},
        {good + "[HKEY_LOCAL_MACHINE\\x\n", "line 6:"},
        {good + "[HKEY_LOCAL_MACHINE\\a\rb]\n", "line 6:"},
        {good + "[-HKEY_LOCAL_MACHINE]\n", "line 6:"},
        {good + "garbage\n", "line 6:"},
        {"REGEDIT4\n\"v\"=\"value before any key\"\n", "line 2:"},
        {good + "\"w\"=hex(2):41\n", "line 6:"},
    };
    for (const auto& [text, where] : cases) {
        EXPECT_THAT([&] { ImportRegFile(*registry, text); },
                    ThrowsMessage<std::runtime_error>(StartsWith(where)))
            << text;
        EXPECT_EQ(ExportRegFile(*registry), before) << text;
    }
    EXPECT_EQ(registry->OpenHandleCount(), 0u);
    ImportRegFile(*registry, good);
    EXPECT_TRUE(registry->KeyExists(kLm, "Added"));
}

}  // namespace
}  // namespace tamsel::sandbox
