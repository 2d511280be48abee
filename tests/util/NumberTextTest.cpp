#include "util/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

namespace dividra {
namespace {

TEST(IntToTextTest, PlainDecimalWithoutPaddingOrGrouping) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(7), "7");
    EXPECT_EQ(IntToText(1454080), "1454080");
    EXPECT_EQ(IntToText(-1), "-1");
    EXPECT_EQ(IntToText(std::numeric_limits<std::int32_t>::max()), "2147483647");
    EXPECT_EQ(IntToText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

TEST(TextToIntTest, InvalidTextsGiveZero) {
    for (const char* text :
         {"",           " ",   "   ",  "12 ",  "1.44", "-",           "+",
          "2147483648", "$",   "-$1F", "+$1F", "$1G",  "1,000",       "0x1F",
          "12a",        "a12", " - 1", "--1",  "\t1",  "-2147483649", "99999999999999999999",
          "$123456789"}) {
        EXPECT_EQ(TextToInt(text), 0) << '"' << text << '"';
    }
}

TEST(TextToIntTest, ValidDecimalTexts) {
    EXPECT_EQ(TextToInt("0"), 0);
    EXPECT_EQ(TextToInt("  42"), 42);
    EXPECT_EQ(TextToInt("+7"), 7);
    EXPECT_EQ(TextToInt("-7"), -7);
    EXPECT_EQ(TextToInt("0064"), 64);
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TextToInt("  -12"), -12);
}

TEST(TextToIntTest, HexadecimalTextsAreTakenAs32Bits) {
    EXPECT_EQ(TextToInt("$1F"), 31);
    EXPECT_EQ(TextToInt("$1f"), 31);
    EXPECT_EQ(TextToInt("  $10"), 16);
    EXPECT_EQ(TextToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TextToInt("$80000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TextToInt("$7FFFFFFF"), 2147483647);
    // Leading zeros are not significant digits; a ninth significant one is.
    EXPECT_EQ(TextToInt("$00000000FF"), 255);
    EXPECT_EQ(TextToInt("$100000000"), 0);
}

TEST(TextToIntTest, RoundTripsEveryBoundary) {
    for (std::int32_t value : {std::numeric_limits<std::int32_t>::min(), -1024, -1, 0, 1, 999, 1000,
                               1024, std::numeric_limits<std::int32_t>::max()}) {
        EXPECT_EQ(TextToInt(IntToText(value)), value);
    }
}

} // namespace
} // namespace dividra
