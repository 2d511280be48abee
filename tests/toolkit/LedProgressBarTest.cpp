#include "toolkit/LedProgressBar.h"

#include <gtest/gtest.h>

namespace dividra::toolkit {
namespace {

TEST(LedProgressBarTest, PartsCompleteAreCappedAtThePartCount) {
    LedProgressBar bar;
    EXPECT_EQ(bar.partCount(), 20);
    EXPECT_EQ(bar.partsComplete(), 0);
    bar.setPartsComplete(19);
    EXPECT_EQ(bar.partsComplete(), 19);
    bar.setPartsComplete(20);
    EXPECT_EQ(bar.partsComplete(), 20);
    bar.setPartsComplete(21);
    EXPECT_EQ(bar.partsComplete(), 20);
    bar.setPartsComplete(-1);
    EXPECT_EQ(bar.partsComplete(), 0);
    bar.setPartsComplete(15);
    bar.setPartCount(10);
    EXPECT_EQ(bar.partsComplete(), 10);
}

TEST(LedProgressBarTest, PaintsWithoutText) {
    LedProgressBar bar;
    bar.resize(184, 19);
    bar.setPartsComplete(5);
    const QImage image = bar.grab().toImage();
    // Lit and unlit segments differ; the first LED is lit, the last is not.
    EXPECT_NE(image.pixel(4, 9), image.pixel(180, 9));
}

} // namespace
} // namespace dividra::toolkit
