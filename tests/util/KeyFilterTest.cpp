#include "util/KeyFilter.h"
#include "support/ScopedHook.h"

#include <gtest/gtest.h>

#include <vector>

namespace dividra {
namespace {

class KeyFilterTest : public ::testing::Test {
protected:
    std::vector<unsigned> m_beeps;
    test::ScopedHook<BeepHook> m_hook{SetBeepHook,
                                      [this](unsigned type) { m_beeps.push_back(type); }};
};

TEST_F(KeyFilterTest, DigitsAndBackspacePassSilently) {
    for (char c : std::string("0123456789\b")) {
        char key = c;
        EXPECT_EQ(FilterNumericKey(key), c);
        EXPECT_EQ(key, c);
    }
    EXPECT_TRUE(m_beeps.empty());
}

TEST_F(KeyFilterTest, OtherKeysBecomeZeroWithOneBeepEach) {
    const std::string refused = {'a', 'Z', ' ', '-', '.', ',', '\x03', '\x16', '\x18', '\r'};
    for (char c : refused) {
        char key = c;
        EXPECT_EQ(FilterNumericKey(key), 0) << int{c};
        EXPECT_EQ(key, 0);
    }
    EXPECT_EQ(m_beeps, std::vector<unsigned>(refused.size(), 0x30));
}

TEST_F(KeyFilterTest, ExactlyElevenOfAllCharactersPass) {
    int passed = 0;
    for (int value = -128; value <= 127; ++value) {
        char key = static_cast<char>(value);
        passed += FilterNumericKey(key) != 0;
    }
    EXPECT_EQ(passed, 11);
    EXPECT_EQ(m_beeps.size(), 245U);
}

TEST_F(KeyFilterTest, WithoutAHookBeepsAreSilent) {
    const BeepHook mine = SetBeepHook({});
    ASSERT_TRUE(mine);
    char key = 'x';
    EXPECT_EQ(FilterNumericKey(key), 0);
    EXPECT_FALSE(SetBeepHook(mine));
    EXPECT_TRUE(m_beeps.empty());
}

} // namespace
} // namespace dividra
