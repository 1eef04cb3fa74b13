#include <string>

#include "RegistryAccessFixture.h"

namespace tamsel {
namespace {

using test::RegistryFunction;

constexpr const char* kDeepKey = "SOFTWARE\\Tamsel Test\\One\\Two\\Three";

TEST_F(RegistryAccessTest, TextIsWrittenWithOneNul) {
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "UninstallString",
                                Variant("uninstall.exe"), 1);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Number", Variant(12), 1);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Nothing", Variant(), 1);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "", Variant("default"), 1);

    const auto uninstall = GetRaw(kTestKey, "UninstallString");
    ASSERT_TRUE(uninstall.has_value());
    EXPECT_EQ(uninstall->type, reg::kSz);
    EXPECT_EQ(uninstall->data.size(), 14u);
    EXPECT_EQ(Text(uninstall->data), std::string("uninstall.exe\0", 14));
    EXPECT_EQ(Text(GetRaw(kTestKey, "Number")->data), std::string("12\0", 3));
    EXPECT_EQ(Text(GetRaw(kTestKey, "Nothing")->data), std::string("\0", 1));
    EXPECT_TRUE(Get("") == "default");
    EXPECT_TRUE(Get("UninstallString") == "uninstall.exe");

    // A second write replaces the value.
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "UninstallString", Variant("x"), 1);
    EXPECT_TRUE(Get("UninstallString") == "x");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, DwordIsWrittenAsFourLittleEndianBytes) {
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Minus", Variant(-2), 4);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "FromText", Variant(" 258 "), 4);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Nothing", Variant(), 4);

    EXPECT_EQ(Text(GetRaw(kTestKey, "Minus")->data), "\xFE\xFF\xFF\xFF");
    EXPECT_EQ(Text(GetRaw(kTestKey, "FromText")->data), std::string("\x02\x01\0\0", 4));
    EXPECT_EQ(GetRaw(kTestKey, "FromText")->type, reg::kDword);
    EXPECT_EQ(Text(GetRaw(kTestKey, "Nothing")->data), std::string(4, '\0'));
    EXPECT_EQ(Get("Minus"), Variant(-2));
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, SetCreatesMissingKeysAndWritesOnlyKnownTypes) {
    access_.RegistrySetKeyValue(reg::kLocalMachine, kDeepKey, "Path", Variant("C:\\A\\"), 1);
    EXPECT_TRUE(Get("Path", kDeepKey) == "C:\\A\\");

    for (std::int32_t type : {2, 7, 0, 11, -1}) {
        const std::string keyPath = std::string(kTestKey) + "\\Type" + std::to_string(type);
        access_.RegistrySetKeyValue(reg::kLocalMachine, keyPath + "\\Below", "Value",
                                    Variant("%TEMP%"), type);
        EXPECT_TRUE(KeyExists(keyPath + "\\Below")) << type;
        EXPECT_TRUE(store_->Values(reg::kLocalMachine, keyPath + "\\Below").empty()) << type;
    }
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, WritesOpenWithTheSixKeyRights) {
    access_.RegistryCreateNewKey(reg::kLocalMachine, kTestKey);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Name", Variant("x"), 1);
    access_.RegistryDeleteValue(reg::kLocalMachine, kTestKey, "Name");

    const auto creates = registry_.CallsOf(RegistryFunction::CreateKeyEx);
    ASSERT_EQ(creates.size(), 2u);
    for (const auto& create : creates) {
        EXPECT_EQ(create.key, reg::kLocalMachine);
        EXPECT_EQ(create.name, kTestKey);
        EXPECT_EQ(create.options, 0u);
        EXPECT_EQ(create.access, 0x3Fu);
    }
    const auto opens = registry_.CallsOf(RegistryFunction::OpenKeyEx);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].options, 0u);
    EXPECT_EQ(opens[0].access, 0x3Fu);
    EXPECT_FALSE(GetRaw(kTestKey, "Name").has_value());
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
        {Variant("abc"), 3, "Error: 13. Type mismatch"},
        {Variant(5), 3, "Error: 13. Type mismatch"},
        {Variant(ByteArray{}), 3, "Error: 9. Subscript out of range"},
    };
    int index = 0;
    for (const Case& c : cases) {
        const std::string keyPath = std::string(kTestKey) + "\\Case" + std::to_string(index++);
        boxes_.Clear();
        access_.RegistrySetKeyValue(reg::kLocalMachine, keyPath, "Value", c.data, c.type);
        ASSERT_EQ(boxes_.Shown().size(), 1u) << c.text;
        const MessageBoxSpec& box = boxes_.Shown()[0];
        EXPECT_EQ(box.title, "RegistrySetKeyValue");
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.buttons, MsgButtons::OK);
        EXPECT_EQ(box.icon, MsgIcon::None);
        // The key created before the conversion stays; no value was written; the key handle
        // was closed (checked after every test).
        EXPECT_TRUE(KeyExists(keyPath)) << c.text;
        EXPECT_FALSE(GetRaw(keyPath, "Value").has_value()) << c.text;
    }
}

TEST_F(RegistryAccessTest, FailingRegistryCallsAreSilent) {
    registry_.FailCalls(RegistryFunction::CreateKeyEx, reg::kAccessDenied);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Name", Variant("x"), 1);
    EXPECT_FALSE(KeyExists(kTestKey));
    EXPECT_TRUE(registry_.CallsOf(RegistryFunction::SetValueEx).empty());

    // Without a key, unconvertible data is still reported.
    registry_.FailCalls(RegistryFunction::CreateKeyEx, reg::kAccessDenied);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Name", Variant("x"), 4);
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].text, "Error: 13. Type mismatch");
    boxes_.Clear();

    registry_.FailCalls(RegistryFunction::SetValueEx, reg::kAccessDenied);
    access_.RegistrySetKeyValue(reg::kLocalMachine, kTestKey, "Name", Variant("x"), 1);
    EXPECT_TRUE(KeyExists(kTestKey));
    EXPECT_FALSE(GetRaw(kTestKey, "Name").has_value());

    registry_.FailCalls(RegistryFunction::CreateKeyEx, reg::kAccessDenied);
    access_.RegistryCreateNewKey(reg::kLocalMachine, "SOFTWARE\\Refused");
    EXPECT_FALSE(KeyExists("SOFTWARE\\Refused"));

    PutRaw(kTestKey, "Kept", reg::kSz, "k");
    registry_.FailCalls(RegistryFunction::DeleteValue, reg::kAccessDenied);
    access_.RegistryDeleteValue(reg::kLocalMachine, kTestKey, "Kept");
    EXPECT_TRUE(GetRaw(kTestKey, "Kept").has_value());
    registry_.FailCalls(RegistryFunction::OpenKeyEx, reg::kAccessDenied);
    access_.RegistryDeleteValue(reg::kLocalMachine, kTestKey, "Kept");
    EXPECT_TRUE(GetRaw(kTestKey, "Kept").has_value());
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, CreateNewKeyLeavesAnExistingKeyAsItIs) {
    PutRaw(kTestKey, "Name", reg::kSz, std::string("abc\0", 4));
    PutRaw(std::string(kTestKey) + "\\Sub", "Inner", reg::kDword, "\x01\x02\x03\x04");
    access_.RegistryCreateNewKey(reg::kLocalMachine, kTestKey);
    EXPECT_EQ(Text(GetRaw(kTestKey, "Name")->data), std::string("abc\0", 4));
    EXPECT_EQ(store_->SubKeyNames(reg::kLocalMachine, kTestKey), std::vector<std::string>{"Sub"});
    EXPECT_EQ(Get("Inner", std::string(kTestKey) + "\\Sub"), Variant(0x04030201));

    access_.RegistryCreateNewKey(reg::kLocalMachine, kDeepKey);
    EXPECT_TRUE(KeyExists(kDeepKey));
    EXPECT_TRUE(store_->Values(reg::kLocalMachine, kDeepKey).empty());
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(RegistryAccessTest, DeletionsRemoveOnlyTheirTargetAndIgnoreMissingOnes) {
    PutRaw(kTestKey, "Gone", reg::kSz, "g");
    PutRaw(kTestKey, "Kept", reg::kSz, "k");
    access_.RegistryDeleteValue(reg::kLocalMachine, kTestKey, "gone");
    EXPECT_FALSE(GetRaw(kTestKey, "Gone").has_value());
    EXPECT_TRUE(GetRaw(kTestKey, "Kept").has_value());

    access_.RegistryDeleteValue(reg::kLocalMachine, kTestKey, "Gone");
    access_.RegistryDeleteValue(reg::kLocalMachine, "SOFTWARE\\Missing", "Gone");
    access_.RegistryDeleteKey(reg::kLocalMachine, "SOFTWARE\\Missing\\Key");
    EXPECT_FALSE(KeyExists("SOFTWARE\\Missing"));

    // A key with subkeys is left to the platform, which keeps it; nothing below is touched.
    PutRaw(kDeepKey, "Leaf", reg::kSz, "l");
    access_.RegistryDeleteKey(reg::kLocalMachine, kTestKey);
    EXPECT_TRUE(KeyExists(kTestKey));
    EXPECT_TRUE(GetRaw(kDeepKey, "Leaf").has_value());
    access_.RegistryDeleteKey(reg::kLocalMachine, kDeepKey);
    EXPECT_FALSE(KeyExists(kDeepKey));
    EXPECT_TRUE(KeyExists("SOFTWARE\\Tamsel Test\\One\\Two"));

    for (const auto& call : registry_.CallsOf(RegistryFunction::DeleteKey)) {
        EXPECT_EQ(call.key, reg::kLocalMachine);  // straight on the root, nothing opened
    }
    EXPECT_TRUE(boxes_.Shown().empty());
}

}  // namespace
}  // namespace tamsel
