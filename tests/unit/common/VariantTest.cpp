#include <gtest/gtest.h>

#include <string>

#include "common/RuntimeError.h"
#include "common/Variant.h"

namespace tamsel {
namespace {

std::int32_t ErrorNumberOfToInt32(const Variant& value) {
    try {
        value.ToInt32();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

TEST(VariantTest, EmptyValueActsAsEmptyTextAndZero) {
    const Variant empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.ToText(), "");
    EXPECT_EQ(empty.ToInt32(), 0);
    EXPECT_TRUE(empty == "");
    EXPECT_FALSE(empty == "TamselOrry.exe");
    EXPECT_FALSE(empty == std::string(" "));
    // The empty value and the empty text are still different values.
    EXPECT_FALSE(empty == Variant(std::string()));
}

TEST(VariantTest, ComparesWithEveryKindOfText) {
    const Variant text("TamselOrry.exe");
    const std::string same = "TamselOrry.exe";
    EXPECT_TRUE(text == "TamselOrry.exe");
    EXPECT_TRUE(text == same);
    EXPECT_TRUE(text == std::string_view(same));
    EXPECT_TRUE("TamselOrry.exe" == text);
    EXPECT_FALSE(text == "tamselorry.exe");  // text comparison is exact
    EXPECT_TRUE(Variant(12) == "12");
    EXPECT_TRUE(Variant(-1) == "-1");
    EXPECT_FALSE(Variant(ByteArray{'a'}) == "a");
    EXPECT_FALSE(Variant(ByteArray{}) == "");
}

TEST(VariantTest, TextConvertsToInt32ByNumberRules) {
    EXPECT_EQ(Variant("12").ToInt32(), 12);
    EXPECT_EQ(Variant("  -7\t").ToInt32(), -7);
    EXPECT_EQ(Variant("+3").ToInt32(), 3);
    EXPECT_EQ(Variant("2.5").ToInt32(), 2);  // half to even
    EXPECT_EQ(Variant("3.5").ToInt32(), 4);
    EXPECT_EQ(Variant("-2.5").ToInt32(), -2);
    EXPECT_EQ(Variant(".75").ToInt32(), 1);
    EXPECT_EQ(Variant("0." + std::string(400, '0') + "1").ToInt32(), 0);
    EXPECT_EQ(Variant("-2147483648").ToInt32(), -2147483647 - 1);
    EXPECT_EQ(Variant("2147483647").ToInt32(), 2147483647);

    EXPECT_EQ(ErrorNumberOfToInt32(Variant("2147483648")), err::kOverflow);
    EXPECT_EQ(ErrorNumberOfToInt32(Variant("-2147483649")), err::kOverflow);
    EXPECT_EQ(ErrorNumberOfToInt32(Variant(std::string(400, '9'))), err::kOverflow);
    for (const char* notANumber : {"", " ", "abc", "12abc", "1 2", "-", ".", "1,5", "+-1"}) {
        EXPECT_EQ(ErrorNumberOfToInt32(Variant(notANumber)), err::kTypeMismatch) << notANumber;
    }
    EXPECT_EQ(ErrorNumberOfToInt32(Variant(ByteArray{1, 2})), err::kTypeMismatch);
}

TEST(VariantTest, OnlyAByteArrayIsAByteArray) {
    const ByteArray bytes = {0, 1, 255};
    EXPECT_EQ(Variant(bytes).ToByteArray(), bytes);
    for (const Variant& other : {Variant(), Variant("abc"), Variant(3)}) {
        try {
            other.ToByteArray();
            ADD_FAILURE() << "no error for " << other.ToText();
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), err::kTypeMismatch);
            EXPECT_EQ(error.Description(), "Type mismatch");
        }
    }
    EXPECT_EQ(Variant(-12).ToText(), "-12");
}

}  // namespace
}  // namespace tamsel
