#include <gtest/gtest.h>

#include <string>

#include "common/Variant.h"
#include "platform/RuntimeError.h"
#include "support/SandboxTest.h"

namespace tamsel {
namespace {

using test::ErrorOf;

TEST(VariantTest, EmptyValueActsAsEmptyTextAndZeroAndTextComparesExactly) {
    const Variant empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.ToText(), "");
    EXPECT_EQ(empty.ToInt32(), 0);
    EXPECT_TRUE(empty == "");
    EXPECT_FALSE(empty == std::string(" "));
    EXPECT_FALSE(empty == Variant(std::string()));  // still a different value

    const Variant text("TamselOrry.exe");
    const std::string same = "TamselOrry.exe";
    EXPECT_TRUE(text == same && text == std::string_view(same) && "TamselOrry.exe" == text);
    EXPECT_FALSE(text == "tamselorry.exe");
    EXPECT_TRUE(Variant(-1) == "-1");
    EXPECT_FALSE(Variant(ByteArray{'a'}) == "a");
    EXPECT_FALSE(Variant(ByteArray{}) == "");
}

TEST(VariantTest, TextConvertsToInt32ByNumberRules) {
    EXPECT_EQ(Variant("  -7\t").ToInt32(), -7);
    EXPECT_EQ(Variant("+3").ToInt32(), 3);
    EXPECT_EQ(Variant("2.5").ToInt32(), 2);  // half to even
    EXPECT_EQ(Variant("3.5").ToInt32(), 4);
    EXPECT_EQ(Variant("-2.5").ToInt32(), -2);
    EXPECT_EQ(Variant(".75").ToInt32(), 1);
    EXPECT_EQ(Variant("0." + std::string(400, '0') + "1").ToInt32(), 0);
    EXPECT_EQ(Variant("-2147483648").ToInt32(), -2147483647 - 1);
    EXPECT_EQ(Variant("2147483647").ToInt32(), 2147483647);
    for (const std::string& tooBig :
         {std::string("2147483648"), std::string("-2147483649"), std::string(400, '9')}) {
        EXPECT_EQ(ErrorOf([&] { Variant(tooBig).ToInt32(); }), err::kOverflow) << tooBig;
    }
    for (const char* notANumber : {"", " ", "abc", "12abc", "1 2", "-", ".", "1,5", "+-1"}) {
        EXPECT_EQ(ErrorOf([&] { Variant(notANumber).ToInt32(); }), err::kTypeMismatch)
            << notANumber;
    }
    EXPECT_EQ(ErrorOf([] { Variant(ByteArray{1, 2}).ToInt32(); }), err::kTypeMismatch);
}

TEST(VariantTest, OnlyAByteArrayIsAByteArray) {
    const ByteArray bytes = {0, 1, 255};
    EXPECT_EQ(Variant(bytes).ToByteArray(), bytes);
    for (const Variant& other : {Variant(), Variant("abc"), Variant(3)}) {
        EXPECT_EQ(ErrorOf([&] { other.ToByteArray(); }), err::kTypeMismatch) << other.ToText();
    }
}

}  // namespace
}  // namespace tamsel
