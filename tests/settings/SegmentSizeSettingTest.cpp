#include "settings/SegmentSizeSetting.h"

#include <gtest/gtest.h>

namespace dividra {
namespace {

TEST(SegmentSizeSettingTest, AStoredSizeTextSelectsAListEntryIgnoringCase) {
    EXPECT_EQ(MatchSegmentSizeEntry("710"), "710");
    EXPECT_EQ(MatchSegmentSizeEntry("custom"), "Custom");
    EXPECT_EQ(MatchSegmentSizeEntry("CUSTOM"), "Custom");
    EXPECT_EQ(MatchSegmentSizeEntry("1440"), "1420");
    EXPECT_EQ(MatchSegmentSizeEntry(""), "1420");
    EXPECT_EQ(MatchSegmentSizeEntry(" 350"), "1420");
}

} // namespace
} // namespace dividra
