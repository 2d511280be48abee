#include "core/split/SegmentPlan.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

constexpr std::int64_t k1420 = 1420 * 1024; // 1454080

TEST(SegmentPlanTest, SegmentSizeTextIsKilobytes) {
    EXPECT_EQ(SegmentSizeBytes("1420"), 1454080);
    EXPECT_EQ(SegmentSizeBytes("1024"), 1048576);
    EXPECT_EQ(SegmentSizeBytes("Custom"), 0);
    EXPECT_EQ(SegmentSizeBytes(""), 0);
    EXPECT_EQ(SegmentSizeBytes("0"), 0);
}

TEST(SegmentPlanTest, SegmentCountRoundsUpOnlyWithARemainder) {
    EXPECT_EQ(SegmentCount(0, k1420), 0);
    EXPECT_EQ(SegmentCount(1, k1420), 1);
    EXPECT_EQ(SegmentCount(k1420 - 1, k1420), 1);
    EXPECT_EQ(SegmentCount(k1420, k1420), 1);
    EXPECT_EQ(SegmentCount(k1420 + 1, k1420), 2);
    EXPECT_EQ(SegmentCount(2 * k1420, k1420), 2);
    EXPECT_EQ(SegmentCount(2 * k1420 + 1, k1420), 3);
    EXPECT_EQ(SegmentCount(3000000, k1420), 3);
    EXPECT_EQ(SegmentCount(3000000, SegmentSizeBytes("350")), 9);
}

TEST(SegmentPlanTest, SegmentCountHasNoValueForNonPositiveInputs) {
    EXPECT_EQ(SegmentCount(-5, k1420), 0);
    EXPECT_EQ(SegmentCount(3000000, 0), 0);
    EXPECT_EQ(SegmentCount(3000000, -1024), 0);
}

TEST(SegmentPlanTest, SegmentCountAround999Segments) {
    const std::int64_t oneKb = 1024;
    EXPECT_EQ(SegmentCount(999 * oneKb, oneKb), 999);
    EXPECT_EQ(SegmentCount(999 * oneKb + 1, oneKb), 1000);
}

TEST(SegmentPlanTest, SizesBeyond32BitsDoNotWrap) {
    const std::int64_t fourGb = 4LL * 1024 * 1024 * 1024;
    EXPECT_EQ(SegmentCount(fourGb, 1024 * 1024), 4096);
    EXPECT_EQ(SegmentCount(2147483648LL, k1420), 1477);
    EXPECT_EQ(DisketteCount(fourGb, k35HighDensity.capacity), 2947);
}

TEST(SegmentPlanTest, DisketteCountKeepsRoomForTheDescriptor) {
    const std::int64_t hd = k35HighDensity.capacity;
    EXPECT_EQ(DisketteCount(0, hd), 1);
    EXPECT_EQ(DisketteCount(1, hd), 1);
    EXPECT_EQ(DisketteCount(hd - 512, hd), 1);
    EXPECT_EQ(DisketteCount(hd - 511, hd), 2);
    EXPECT_EQ(DisketteCount(hd, hd), 2);
    EXPECT_EQ(DisketteCount(0, 0), 0);
}

TEST(SegmentPlanTest, FourDisketteKindsForAThreeMegabyteFile) {
    EXPECT_EQ(DisketteCount(3000000, k35HighDensity.capacity), 3);
    EXPECT_EQ(DisketteCount(3000000, k35DoubleDensity.capacity), 5);
    EXPECT_EQ(DisketteCount(3000000, k525HighDensity.capacity), 3);
    EXPECT_EQ(DisketteCount(3000000, k525DoubleDensity.capacity), 9);
    // One byte in a 1.44 MB diskette's data area is the descriptor's 512 bytes away from full.
    EXPECT_EQ(DisketteCount(1457152, k35HighDensity.capacity), 1);
    EXPECT_EQ(DisketteCount(1457153, k35HighDensity.capacity), 2);
}

} // namespace
} // namespace dividra::core
