#include "platform/AsciiText.h"

#include <gtest/gtest.h>

namespace dividra::platform {
namespace {

TEST(AsciiText, NamesCompareBlindToAsciiCaseOnly) {
    EXPECT_TRUE(equalsIgnoringCase("Data.ZIP", "dATA.zip"));
    EXPECT_FALSE(equalsIgnoringCase("data.zip", "data.zi"));
    EXPECT_FALSE(equalsIgnoringCase("\xC3\x89", "\xC3\xA9")); // É and é: bytes as they are
    EXPECT_TRUE(equalsIgnoringCase("", ""));
    EXPECT_TRUE(startsWithIgnoringCase("REGEDIT4", "regedit"));
    EXPECT_FALSE(startsWithIgnoringCase("REG", "regedit"));
    // Ordered as lower case: "_" sorts before letters, as it wouldn't in upper case.
    EXPECT_TRUE(lessIgnoringCase("_x", "A"));
    EXPECT_TRUE(lessIgnoringCase("apple", "BANANA"));
    EXPECT_FALSE(lessIgnoringCase("Same", "sAME"));
    EXPECT_TRUE(lessIgnoringCase("z", "\xC3\xA9")); // bytes above ASCII come last
    EXPECT_EQ(lowerAscii("MiXeD \xC3\x89"), "mixed \xC3\x89");
    EXPECT_EQ(upperAscii("MiXeD \xC3\xA9"), "MIXED \xC3\xA9");
}

TEST(AsciiText, HexDigitsOfEitherCaseAndNothingElse) {
    const std::pair<char, int> cases[] = {{'0', 0},  {'9', 9},  {'a', 10},   {'F', 15},
                                          {'/', -1}, {':', -1}, {'@', -1},   {'G', -1},
                                          {'g', -1}, {'`', -1}, {'\xC1', -1}};
    for (const auto& [digit, value] : cases) {
        EXPECT_EQ(hexDigitValue(digit), value) << digit;
    }
}

TEST(AsciiText, Utf8SequencesMustBeWellFormed) {
    const std::pair<std::string_view, std::size_t> cases[] = {
        {"a", 1},
        {"\xC3\xA9", 2},
        {"\xE2\x82\xAC", 3},
        {"\xF0\x9F\x98\x80", 4},
        {"\x80", 0},             // a continuation byte alone
        {"\xC3", 0},             // cut short
        {"\xC3(", 0},            // no continuation
        {"\xC0\x80", 0},         // overlong
        {"\xE0\x80\x80", 0},     // overlong
        {"\xED\xA0\x80", 0},     // a surrogate
        {"\xF4\x90\x80\x80", 0}, // beyond U+10FFFF
        {"\xF5\x80\x80\x80", 0},
    };
    for (const auto& [text, length] : cases) {
        EXPECT_EQ(utf8SequenceLength(text, 0), length) << testing::PrintToString(text);
    }
}

} // namespace
} // namespace dividra::platform
