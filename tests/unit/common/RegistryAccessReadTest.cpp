#include <string>

#include "RegistryAccessFixture.h"

namespace tamsel {
namespace {

using test::RegistryCall;
using test::RegistryFunction;

TEST_F(RegistryAccessTest, MissingKeyOrValueReadsEmptyWithoutMessage) {
    EXPECT_TRUE(Get("ApplicationName", "SOFTWARE\\No Such Key").IsEmpty());
    PutRaw(kTestKey, "Other", reg::kSz, std::string("x\0", 2));
    EXPECT_TRUE(Get("ApplicationName").IsEmpty());
    EXPECT_TRUE(Get("").IsEmpty());  // no default value either
    EXPECT_TRUE(Get("ApplicationName") == "");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, TextValuesEndAtTheirFirstNul) {
    PutRaw(kTestKey, "ApplicationName", reg::kSz, std::string("TamselOrry.exe\0", 15));
    PutRaw(kTestKey, "Inner", reg::kSz, std::string("before\0after\0", 13));
    PutRaw(kTestKey, "NoBytes", reg::kSz, "");
    PutRaw(kTestKey, "OnlyNul", reg::kSz, std::string("\0", 1));
    PutRaw(kTestKey, "Unterminated", reg::kSz, "abc");
    PutRaw(kTestKey, "", reg::kSz, std::string("C:\\App\\TamselOrry.exe\0", 22));

    EXPECT_TRUE(Get("ApplicationName") == "TamselOrry.exe");
    EXPECT_TRUE(Get("applicationname") == "TamselOrry.exe");  // names ignore case
    EXPECT_TRUE(Get("Inner") == "before");
    EXPECT_TRUE(Get("Unterminated") == "abc");
    EXPECT_TRUE(Get("") == "C:\\App\\TamselOrry.exe");
    for (const char* emptyText : {"NoBytes", "OnlyNul"}) {
        const Variant value = Get(emptyText);
        EXPECT_TRUE(value.IsText()) << emptyText;
        EXPECT_EQ(value.ToText(), "") << emptyText;
    }
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, DwordValuesAreSigned32BitIntegers) {
    PutRaw(kTestKey, "Five", reg::kDword, std::string("\x05\0\0\0", 4));
    PutRaw(kTestKey, "AllOnes", reg::kDword, "\xFF\xFF\xFF\xFF");
    PutRaw(kTestKey, "Big", reg::kDword, "\x78\x56\x34\x12");
    PutRaw(kTestKey, "TooLong", reg::kDword, std::string("\x01\0\0\0\x02\0\0\0", 8));
    PutRaw(kTestKey, "Short", reg::kDword, "\x07\x01");

    EXPECT_EQ(Get("Five"), Variant(5));
    EXPECT_EQ(Get("AllOnes"), Variant(-1));
    EXPECT_EQ(Get("Big"), Variant(0x12345678));
    // More than 4 stored bytes do not fit the integer: the read fails and gives the empty
    // value. Fewer fill its low bytes.
    EXPECT_TRUE(Get("TooLong").IsEmpty());
    EXPECT_EQ(Get("Short"), Variant(0x0107));
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, ExpandableTextHasItsVariablesReplaced) {
    RegKey environment = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(store_->CreateKeyEx(reg::kCurrentUser, "Environment", 0, nullptr, 0, 0x3F,
                                  &environment, &disposition),
              0);
    const std::string longValue = "C:\\Users\\User\\AppData\\Local\\Temp";
    store_->SetValueEx(environment, "LONGDIR", 0, reg::kSz,
                       reinterpret_cast<const std::uint8_t*>(longValue.c_str()),
                       static_cast<std::uint32_t>(longValue.size() + 1));
    store_->SetValueEx(environment, "A_RATHER_LONG_VARIABLE_NAME", 0, reg::kSz,
                       reinterpret_cast<const std::uint8_t*>("D:"), 3);
    store_->CloseKey(environment);

    PutRaw(kTestKey, "Longer", reg::kExpandSz, std::string("%LONGDIR%\\x\0", 12));
    PutRaw(kTestKey, "Shorter", reg::kExpandSz,
           std::string("%A_RATHER_LONG_VARIABLE_NAME%\\\0", 31));
    PutRaw(kTestKey, "Unknown", reg::kExpandSz, std::string("%NOT_SET_ANYWHERE%\0", 19));
    PutRaw(kTestKey, "Unterminated", reg::kExpandSz, "%LONGDIR%");
    PutRaw(kTestKey, "NoBytes", reg::kExpandSz, "");

    EXPECT_TRUE(Get("Longer") == longValue + "\\x");
    EXPECT_TRUE(Get("Shorter") == "D:\\");
    EXPECT_TRUE(Get("Unknown") == "%NOT_SET_ANYWHERE%");
    EXPECT_TRUE(Get("Unterminated") == longValue);  // the last character is kept
    EXPECT_TRUE(Get("NoBytes").IsText());
    EXPECT_TRUE(Get("NoBytes") == "");

    // When the expansion fails, the stored text comes back unexpanded.
    registry_.FailCalls(RegistryFunction::ExpandEnvironment, 0);
    EXPECT_TRUE(Get("Longer") == "%LONGDIR%\\x");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, BinaryValuesComeBackByteForByteOtherTypesEmpty) {
    const std::string stored("\x00\x01\xFE\xFF\x00", 5);
    PutRaw(kTestKey, "Blob", reg::kBinary, stored);
    PutRaw(kTestKey, "NoBytes", reg::kBinary, "");
    PutRaw(kTestKey, "List", reg::kMultiSz, std::string("a\0b\0\0", 5));
    PutRaw(kTestKey, "EmptyList", reg::kMultiSz, "");
    PutRaw(kTestKey, "Wide", reg::kQword, std::string(8, '\x01'));

    const Variant blob = Get("Blob");
    ASSERT_TRUE(blob.IsByteArray());
    EXPECT_EQ(blob.ToByteArray(), ByteArray(stored.begin(), stored.end()));
    const Variant none = Get("NoBytes");
    ASSERT_TRUE(none.IsByteArray());
    EXPECT_TRUE(none.ToByteArray().empty());
    EXPECT_TRUE(Get("List").IsEmpty());
    EXPECT_TRUE(Get("EmptyList").IsEmpty());
    EXPECT_TRUE(Get("Wide").IsEmpty());

    // Read and written back, a binary value is unchanged.
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Copy", blob, reg::kBinary);
    const auto copy = GetRaw(kTestKey, "Copy");
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->type, reg::kBinary);
    EXPECT_EQ(Text(copy->data), stored);
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, ReadOpensForQueryAndAsksSizeWithNullBuffer) {
    PutRaw(kTestKey, "Name", reg::kSz, std::string("abc\0", 4));
    registry_.ClearCalls();
    EXPECT_TRUE(Get("Name") == "abc");

    const auto opens = registry_.CallsOf(RegistryFunction::OpenKeyEx);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].key, reg::kLocalMachine);
    EXPECT_EQ(opens[0].name, kTestKey);
    EXPECT_EQ(opens[0].options, 0u);
    EXPECT_EQ(opens[0].access, 0x1u);

    const auto queries = registry_.CallsOf(RegistryFunction::QueryValueEx);
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_FALSE(queries[0].dataGiven);
    EXPECT_EQ(queries[0].sizeGiven, 0u);
    EXPECT_TRUE(queries[1].dataGiven);
    EXPECT_EQ(queries[1].sizeGiven, 4u);
    EXPECT_EQ(registry_.CallsOf(RegistryFunction::CloseKey).size(), 1u);
}

TEST_F(RegistryAccessTest, FailingReadsGiveEmptyAndCloseTheKey) {
    PutRaw(kTestKey, "Name", reg::kSz, std::string("abc\0", 4));
    PutRaw(kTestKey, "Blob", reg::kBinary, "xy");
    PutRaw(kTestKey, "Number", reg::kDword, std::string("\x05\0\0\0", 4));
    PutRaw(kTestKey, "Path", reg::kExpandSz, std::string("abc\0", 4));

    registry_.FailCalls(RegistryFunction::OpenKeyEx, reg::kAccessDenied);
    EXPECT_TRUE(Get("Name").IsEmpty());
    registry_.FailCalls(RegistryFunction::QueryValueEx, reg::kAccessDenied);  // the size query
    EXPECT_TRUE(Get("Name").IsEmpty());
    for (const char* name : {"Name", "Blob", "Number", "Path"}) {
        // The size query succeeds; the read of the data fails.
        registry_.FailCalls(RegistryFunction::QueryValueEx, reg::kAccessDenied, 1,
                            std::string(name) == "Path" ? 2 : 1);
        EXPECT_TRUE(Get(name).IsEmpty()) << name;
    }
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, OutOfMemoryWhileReadingIsShownAndTheKeyClosed) {
    PutRaw(kTestKey, "Name", reg::kSz, std::string("abc\0", 4));
    registry_.ThrowOutOfMemory(RegistryFunction::QueryValueEx, 1);
    EXPECT_TRUE(Get("Name").IsEmpty());
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    const MessageBoxSpec& box = boxes_.Shown()[0];
    EXPECT_EQ(box.title, "RegistryGetKeyValue");
    EXPECT_EQ(box.text, "Error: 7. Out of memory");
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    EXPECT_EQ(box.icon, MsgIcon::None);
    // Nothing is left behind: the next read works as before.
    EXPECT_TRUE(Get("Name") == "abc");
}

}  // namespace
}  // namespace tamsel
