#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "common/RegistryAccess.h"
#include "platform/sandbox/SqliteRegistry.h"
#include "support/FaultInjectionRegistry.h"
#include "support/RecordingMessageBoxes.h"
#include "support/RegistryValues.h"
#include "support/SandboxTest.h"

namespace tamsel {
namespace {

using namespace std::string_literals;
using test::RegistryFunction;

const std::string kKey = "SOFTWARE\\Tamsel Test";
const std::string kDeepKey = kKey + "\\One\\Two";
constexpr RegKey kLm = reg::kLocalMachine;

// RegistryAccess over a fresh sandbox machine's registry seen through a FaultInjectionRegistry.
// Every test ends with no key handle left open and none closed that was not opened.
class RegistryAccessTest : public test::SandboxTest {
  protected:
    void TearDown() override {
        EXPECT_EQ(store_.OpenHandleCount(), 0u);
        EXPECT_EQ(registry_.StrayCloseCount(), 0u);
    }

    // Stores a value with exact bytes, past the module.
    void PutRaw(const std::string& name, std::uint32_t type, const std::string& bytes) {
        ASSERT_EQ(test::Put(store_, kLm, kKey, name, type, test::BytesOf(bytes)), 0);
    }

    Variant Get(const std::string& name) { return access_.RegistryGetKeyValue(kLm, kKey, name); }

    sandbox::SqliteRegistry& store_ = machine_->GetSqliteRegistry();
    test::FaultInjectionRegistry registry_{store_};
    test::RecordingMessageBoxes boxes_;
    RegistryAccess access_{registry_, boxes_};
};

TEST_F(RegistryAccessTest, ReadsEachTypeAsTheProgramsExpect) {
    const std::string longDir = "C:\\Users\\User\\AppData\\Local\\Temp";
    PutValue(reg::kCurrentUser, "Environment", "LONGDIR", longDir);
    const std::tuple<const char*, std::uint32_t, std::string, Variant> rows[] = {
        // Text ends at its first NUL, or with the data when it has none.
        {"Inner", reg::kSz, "before\0after\0"s, Variant("before")},
        {"Unterminated", reg::kSz, "abc", Variant("abc")},
        {"NoBytes", reg::kSz, "", Variant("")},
        {"Long", reg::kSz, std::string(300, 'x') + '\0', Variant(std::string(300, 'x'))},
        // Expandable text has its variables replaced, also when that makes it longer.
        {"Longer", reg::kExpandSz, "%LONGDIR%\\x\0"s, Variant(longDir + "\\x")},
        {"NoNul", reg::kExpandSz, "%LONGDIR%", Variant(longDir)},
        // DWORDs are signed little-endian; more than four bytes do not fit, fewer fill the low.
        {"AllOnes", reg::kDword, "\xFF\xFF\xFF\xFF", Variant(-1)},
        {"Order", reg::kDword, "\x01\x02\x03\x04", Variant(0x04030201)},
        {"TooLong", reg::kDword, "\x01\0\0\0\x02\0\0\0"s, Variant()},
        {"Short", reg::kDword, "\x07\x01", Variant(0x0107)},
        {"Blob", reg::kBinary, "\x00\x01\xFE\xFF\x00"s, Variant(ByteArray{0, 1, 0xFE, 0xFF, 0})},
        // Other types read as the empty value.
        {"List", reg::kMultiSz, "a\0b\0\0"s, Variant()},
    };
    for (const auto& [name, type, stored, read] : rows) PutRaw(name, type, stored);
    for (const auto& [name, type, stored, read] : rows) EXPECT_EQ(Get(name), read) << name;

    // Missing keys and values read as the empty value.
    EXPECT_TRUE(Get("Other").IsEmpty());
    EXPECT_TRUE(access_.RegistryGetKeyValue(kLm, "SOFTWARE\\No Such Key", "Name").IsEmpty());
    // When the expansion fails, the stored text comes back unexpanded.
    registry_.FailCalls(RegistryFunction::ExpandEnvironment, 0);
    EXPECT_EQ(Get("Longer"), Variant("%LONGDIR%\\x"));
    EXPECT_TRUE(boxes_.Shown().empty());
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
    access_.RegistrySetKeyValue(kLm, kDeepKey, "New", Variant("x"), reg::kSz);
    EXPECT_FALSE(store_.KeyExists(kLm, kDeepKey));
    registry_.FailCalls(RegistryFunction::SetValueEx, reg::kAccessDenied);
    access_.RegistrySetKeyValue(kLm, kKey, "New", Variant("x"), reg::kSz);
    EXPECT_EQ(store_.Values(kLm, kKey).size(), 2u);  // no "New"
    EXPECT_TRUE(boxes_.Shown().empty());

    // Running out of memory is the one failure that is shown; nothing is left behind.
    registry_.FailCalls(RegistryFunction::QueryValueEx, test::kOutOfMemory, 1);
    EXPECT_TRUE(Get("Name").IsEmpty());
    ASSERT_EQ(boxes_.Shown().size(), 1u);
    EXPECT_EQ(boxes_.Shown()[0].title, "RegistryGetKeyValue");
    EXPECT_EQ(boxes_.Shown()[0].text, "Error: 7. Out of memory");
}

}  // namespace
}  // namespace tamsel
