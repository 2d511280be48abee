#include "platform/Wildcard.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace dividra::platform {
namespace {

TEST(Wildcard, PatternsMatchBlindToLetterCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"data.zip", "*.ZIP", true},
        {"DATA.ZIP", "*.zip", true},
        {"data.zipx", "*.zip", false},
        {"noext", "*.*", true},
        {"noext", "*", true},
        {"data", "data.*", true},
        {"data.txt", "data.*", true},
        {"database", "data.*", false},
        {"data.zip", "d?ta.zip", true},
        {"dta.zip", "d?ta.zip", false},
        {"", "?", false},
        {"aXXbYYc", "a*b*c", true},
        {"aXXbYY", "a*b*c", false},
        {"data.001", "DATA.0??", true},
        {"data.0011", "data.0??", false},
        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesDosPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    }
}

TEST(Wildcard, ManyStarsStayFast) {
    const std::string name(5000, 'a');
    EXPECT_FALSE(matchesDosPattern(name, "*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(matchesDosPattern(name + "b", "*a*a*a*a*a*a*a*a*b"));
}

TEST(Wildcard, AttributeMaskHidesSpecialEntriesUnlessAsked) {
    EXPECT_TRUE(passesAttributeMask(attr::Archive | attr::ReadOnly, 0));
    EXPECT_TRUE(passesAttributeMask(attr::Normal, 0));
    EXPECT_FALSE(passesAttributeMask(attr::Hidden | attr::Archive, 0));
    EXPECT_TRUE(passesAttributeMask(attr::Hidden | attr::Archive, attr::Hidden));
    EXPECT_FALSE(passesAttributeMask(attr::Directory, attr::Hidden | attr::System));
    EXPECT_FALSE(passesAttributeMask(attr::Directory | attr::Hidden, attr::Directory));
    EXPECT_TRUE(passesAttributeMask(attr::Directory | attr::Hidden | attr::System, attr::AnyFile));
}

} // namespace
} // namespace dividra::platform
