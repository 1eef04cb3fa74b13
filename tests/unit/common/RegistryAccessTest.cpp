#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "common/RegistryAccess.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/FaultInjectionRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/RegistryValues.h"
#include "support/ScratchDirectory.h"

namespace tamsel {
namespace {

using namespace std::string_literals;
using test::RegistryFunction;

constexpr const char* kKey = "SOFTWARE\\Tamsel Test";
constexpr const char* kDeepKey = "SOFTWARE\\Tamsel Test\\One\\Two";
constexpr RegKey kLm = reg::kLocalMachine;

// RegistryAccess over a fresh sandbox registry seen through a FaultInjectionRegistry. Every
// test ends with no key handle left open and none closed that was not opened.
class RegistryAccessTest : public ::testing::Test {
  protected:
    RegistryAccessTest()
        : store_(sandbox::SqliteRegistry::Open(scratch_.Path() / "registry.db")),
          registry_(*store_),
          access_(registry_, boxes_) {}

    void TearDown() override {
        EXPECT_EQ(registry_.OpenHandleCount(), 0u);
        EXPECT_EQ(registry_.StrayCloseCount(), 0u);
        EXPECT_EQ(store_->OpenHandleCount(), 0u);
    }

    // Stores and reads values with exact bytes, past the module.
    void PutRaw(const std::string& name, std::uint32_t type, const std::string& bytes,
                const std::string& key = kKey) {
        ASSERT_EQ(test::Put(*store_, kLm, key, name, type, test::BytesOf(bytes)), 0);
    }
    std::optional<std::string> Raw(const std::string& name, std::uint32_t type = reg::kSz,
                                   const std::string& key = kKey) {
        const auto value = test::Get(*store_, kLm, key, name);
        if (value.type != type) return std::nullopt;
        return std::string(value.data.begin(), value.data.end());
    }
    bool KeyExists(const std::string& key) { return store_->KeyExists(kLm, key); }

    Variant Get(const std::string& name, const std::string& key = kKey) {
        return access_.RegistryGetKeyValue(kLm, key, name);
    }
    void Set(const std::string& name, const Variant& data, std::int32_t type,
             const std::string& key = kKey) {
        access_.RegistrySetKeyValue(kLm, key, name, data, type);
    }

    test::ScratchDirectory scratch_;
    std::unique_ptr<sandbox::SqliteRegistry> store_;
    test::FaultInjectionRegistry registry_;
    test::RecordingMessageBoxes boxes_;
    RegistryAccess access_;
};

TEST_F(RegistryAccessTest, ReadsEachTypeAsTheProgramsExpect) {
    // Missing keys and values read as the empty value, without a message.
    EXPECT_TRUE(Get("ApplicationName", "SOFTWARE\\No Such Key").IsEmpty());
    PutRaw("ApplicationName", reg::kSz, "TamselOrry.exe\0"s);
    EXPECT_TRUE(Get("Other").IsEmpty());
    EXPECT_TRUE(Get("").IsEmpty());

    // Text ends at its first NUL; names ignore case.
    PutRaw("Inner", reg::kSz, "before\0after\0"s);
    PutRaw("Unterminated", reg::kSz, "abc");
    PutRaw("NoBytes", reg::kSz, "");
    EXPECT_TRUE(Get("applicationname") == "TamselOrry.exe");
    EXPECT_TRUE(Get("Inner") == "before");
    EXPECT_TRUE(Get("Unterminated") == "abc");
    EXPECT_TRUE(Get("NoBytes").IsText() && Get("NoBytes") == "");

    // DWORDs are signed; more than four bytes do not fit and read as empty, fewer fill the
    // low bytes.
    PutRaw("AllOnes", reg::kDword, "\xFF\xFF\xFF\xFF");
    PutRaw("TooLong", reg::kDword, "\x01\0\0\0\x02\0\0\0"s);
    PutRaw("Short", reg::kDword, "\x07\x01");
    EXPECT_EQ(Get("AllOnes"), Variant(-1));
    EXPECT_TRUE(Get("TooLong").IsEmpty());
    EXPECT_EQ(Get("Short"), Variant(0x0107));

    // Binary comes back byte for byte and is written back unchanged; other types are empty.
    const std::string blob("\x00\x01\xFE\xFF\x00", 5);
    PutRaw("Blob", reg::kBinary, blob);
    PutRaw("List", reg::kMultiSz, "a\0b\0\0"s);
    PutRaw("EmptyList", reg::kMultiSz, "");
    PutRaw("Wide", reg::kQword, std::string(8, '\x01'));
    const Variant read = Get("Blob");
    ASSERT_TRUE(read.IsByteArray());
    Set("Copy", read, reg::kBinary);
    EXPECT_EQ(Raw("Copy", reg::kBinary), blob);
    for (const char* other : {"List", "EmptyList", "Wide"}) EXPECT_TRUE(Get(other).IsEmpty());
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, ExpandableTextHasItsVariablesReplaced) {
    const std::string longValue = "C:\\Users\\User\\AppData\\Local\\Temp";
    ASSERT_EQ(test::PutText(*store_, reg::kCurrentUser, "Environment", "LONGDIR", longValue), 0);
    ASSERT_EQ(test::PutText(*store_, reg::kCurrentUser, "Environment",
                            "A_RATHER_LONG_VARIABLE_NAME", "D:"),
              0);
    PutRaw("Longer", reg::kExpandSz, "%LONGDIR%\\x\0"s);
    PutRaw("Shorter", reg::kExpandSz, "%A_RATHER_LONG_VARIABLE_NAME%\\\0"s);
    PutRaw("Unknown", reg::kExpandSz, "%NOT_SET_ANYWHERE%\0"s);
    PutRaw("Unterminated", reg::kExpandSz, "%LONGDIR%");

    EXPECT_TRUE(Get("Longer") == longValue + "\\x");
    EXPECT_TRUE(Get("Shorter") == "D:\\");
    EXPECT_TRUE(Get("Unknown") == "%NOT_SET_ANYWHERE%");
    EXPECT_TRUE(Get("Unterminated") == longValue);  // the last character is kept
    // When the expansion fails, the stored text comes back unexpanded.
    registry_.FailCalls(RegistryFunction::ExpandEnvironment, 0);
    EXPECT_TRUE(Get("Longer") == "%LONGDIR%\\x");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, ReadsAndWritesOpenKeysWithTheirExactRights) {
    PutRaw("Name", reg::kSz, "abc\0"s);
    registry_.ClearCalls();
    EXPECT_TRUE(Get("Name") == "abc");
    const auto opens = registry_.CallsOf(RegistryFunction::OpenKeyEx);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].key, kLm);
    EXPECT_EQ(opens[0].name, kKey);
    EXPECT_EQ(opens[0].options, 0u);
    EXPECT_EQ(opens[0].access, 0x1u);  // KEY_QUERY_VALUE
    // The size is asked with no buffer, then the data read with a buffer of that size.
    const auto queries = registry_.CallsOf(RegistryFunction::QueryValueEx);
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_FALSE(queries[0].dataGiven);
    EXPECT_TRUE(queries[1].dataGiven);
    EXPECT_EQ(queries[1].sizeGiven, 4u);

    registry_.ClearCalls();
    access_.RegistryCreateNewKey(kLm, kKey);
    Set("Name", Variant("x"), 1);
    access_.RegistryDeleteValue(kLm, kKey, "Name");
    auto writes = registry_.CallsOf(RegistryFunction::CreateKeyEx);
    ASSERT_EQ(writes.size(), 2u);
    writes.push_back(registry_.CallsOf(RegistryFunction::OpenKeyEx).at(0));
    for (const auto& call : writes) {
        EXPECT_EQ(call.name, kKey);
        EXPECT_EQ(call.options, 0u);
        EXPECT_EQ(call.access, 0x3Fu);  // the six specific key rights
    }
    EXPECT_FALSE(Raw("Name"));
}

TEST_F(RegistryAccessTest, WritesTextWithOneNulAndDwordsAsFourLittleEndianBytes) {
    Set("UninstallString", Variant("uninstall.exe"), 1);
    Set("Number", Variant(12), 1);
    Set("Nothing", Variant(), 1);
    Set("", Variant("default"), 1);
    Set("Minus", Variant(-2), 4);
    Set("FromText", Variant(" 258 "), 4);
    Set("Zero", Variant(), 4);
    EXPECT_EQ(Raw("UninstallString"), "uninstall.exe\0"s);
    EXPECT_EQ(Raw("Number"), "12\0"s);
    EXPECT_EQ(Raw("Nothing"), "\0"s);
    EXPECT_EQ(Raw(""), "default\0"s);
    EXPECT_EQ(Raw("Minus", reg::kDword), "\xFE\xFF\xFF\xFF");
    EXPECT_EQ(Raw("FromText", reg::kDword), "\x02\x01\0\0"s);
    EXPECT_EQ(Raw("Zero", reg::kDword), std::string(4, '\0'));
    Set("UninstallString", Variant("x"), 1);
    EXPECT_TRUE(Get("UninstallString") == "x");

    // Missing keys are made; a type the module does not know writes no value.
    for (std::int32_t type : {2, 7, 0, -1}) {
        const std::string key = kDeepKey + std::to_string(type);
        Set("Value", Variant("%TEMP%"), type, key);
        EXPECT_TRUE(KeyExists(key)) << type;
        EXPECT_TRUE(store_->Values(kLm, key).empty()) << type;
    }
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, UnconvertibleDataIsReportedAndWritesNothing) {
    struct Case {
        Variant data;
        std::int32_t type;
        const char* text;
    };
    const Case cases[] = {
        {Variant("not a number"), 4, "Error: 13. Type mismatch"},
        {Variant("99999999999"), 4, "Error: 6. Overflow"},
        {Variant(5), 3, "Error: 13. Type mismatch"},
        {Variant(ByteArray{}), 3, "Error: 9. Subscript out of range"},
    };
    for (const Case& c : cases) {
        boxes_.Clear();
        Set("Value", c.data, c.type);
        ASSERT_EQ(boxes_.Shown().size(), 1u) << c.text;
        const MessageBoxSpec& box = boxes_.Shown()[0];
        EXPECT_EQ(box.title, "RegistrySetKeyValue");
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.buttons, MsgButtons::OK);
        EXPECT_EQ(box.icon, MsgIcon::None);
        // The key made before the conversion stays; no value was written.
        EXPECT_TRUE(KeyExists(kKey)) << c.text;
        EXPECT_TRUE(store_->Values(kLm, kKey).empty()) << c.text;
    }
}

TEST_F(RegistryAccessTest, FailingRegistryCallsAreSilentAndChangeNothing) {
    PutRaw("Name", reg::kSz, "abc\0"s);
    PutRaw("Number", reg::kDword, "\x05\0\0\0"s);
    registry_.FailCalls(RegistryFunction::OpenKeyEx, reg::kAccessDenied);
    EXPECT_TRUE(Get("Name").IsEmpty());
    for (std::size_t skip : {0, 1}) {  // the size query, then the read of the data
        for (const char* name : {"Name", "Number"}) {
            registry_.FailCalls(RegistryFunction::QueryValueEx, reg::kAccessDenied, skip);
            EXPECT_TRUE(Get(name).IsEmpty()) << name << skip;
        }
    }
    registry_.FailCalls(RegistryFunction::CreateKeyEx, reg::kAccessDenied);
    Set("New", Variant("x"), 1, kDeepKey);
    EXPECT_FALSE(KeyExists(kDeepKey));
    registry_.FailCalls(RegistryFunction::SetValueEx, reg::kAccessDenied);
    Set("New", Variant("x"), 1);
    EXPECT_FALSE(Raw("New"));
    registry_.FailCalls(RegistryFunction::DeleteValue, reg::kAccessDenied);
    access_.RegistryDeleteValue(kLm, kKey, "Name");
    registry_.FailCalls(RegistryFunction::DeleteKey, reg::kAccessDenied);
    access_.RegistryDeleteKey(kLm, kKey);
    EXPECT_EQ(Raw("Name"), "abc\0"s);
    EXPECT_TRUE(boxes_.Shown().empty());

    // Running out of memory is the one failure that is shown; nothing is left behind.
    registry_.ThrowOutOfMemory(RegistryFunction::QueryValueEx, 1);
    EXPECT_TRUE(Get("Name").IsEmpty());
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].title, "RegistryGetKeyValue");
    EXPECT_EQ(boxes_.Shown()[0].text, "Error: 7. Out of memory");
    EXPECT_TRUE(Get("Name") == "abc");
}

TEST_F(RegistryAccessTest, CreateAndDeleteTouchOnlyTheirTarget) {
    PutRaw("Name", reg::kSz, "abc\0"s);
    PutRaw("Inner", reg::kDword, "\x01\x02\x03\x04", kDeepKey);
    access_.RegistryCreateNewKey(kLm, kKey);
    EXPECT_EQ(Raw("Name"), "abc\0"s);
    EXPECT_EQ(Get("Inner", kDeepKey), Variant(0x04030201));

    PutRaw("Kept", reg::kSz, "k");
    access_.RegistryDeleteValue(kLm, kKey, "name");
    EXPECT_FALSE(Raw("Name"));
    EXPECT_TRUE(Raw("Kept"));
    access_.RegistryDeleteValue(kLm, kKey, "Name");
    access_.RegistryDeleteValue(kLm, "SOFTWARE\\Missing", "Name");
    access_.RegistryDeleteKey(kLm, "SOFTWARE\\Missing\\Key");
    EXPECT_FALSE(KeyExists("SOFTWARE\\Missing"));
    // A key with subkeys is left to the platform, which keeps it and everything below.
    access_.RegistryDeleteKey(kLm, kKey);
    EXPECT_TRUE(Raw("Inner", reg::kDword, kDeepKey));
    access_.RegistryDeleteKey(kLm, kDeepKey);
    EXPECT_FALSE(KeyExists(kDeepKey));
    EXPECT_TRUE(KeyExists("SOFTWARE\\Tamsel Test\\One"));
    for (const auto& call : registry_.CallsOf(RegistryFunction::DeleteKey)) {
        EXPECT_EQ(call.key, kLm);  // straight on the root, nothing opened
    }
    EXPECT_TRUE(boxes_.Shown().empty());
}

}  // namespace
}  // namespace tamsel
