#include "core/set/SegmentPath.h"
#include "core/set/Descriptor.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

TEST(SegmentPathTest, ExtensionHasAtLeastThreeDigits) {
    EXPECT_EQ(SegmentExtension(0), ".000");
    EXPECT_EQ(SegmentExtension(7), ".007");
    EXPECT_EQ(SegmentExtension(99), ".099");
    EXPECT_EQ(SegmentExtension(100), ".100");
    EXPECT_EQ(SegmentExtension(999), ".999");
    EXPECT_EQ(SegmentExtension(1000), ".1000");
}

TEST(SegmentPathTest, HardDriveFoldersAndRoots) {
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\out"), "data.zip", 7), "c:\\out\\data.007");
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\"), "data.zip", 7), "c:\\data.007");
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\out"), "report.final.doc", 0),
              "c:\\out\\report.final.000");
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\out"), "REPORT~1.DOC", 12), "c:\\out\\REPORT~1.012");
}

TEST(SegmentPathTest, OnlyTheLastExtensionOfTheNameIsReplaced) {
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\x"), "a.b.c", 0), "c:\\x\\a.b.000");
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\x"), "README", 0), "c:\\x\\README.000");
    EXPECT_EQ(SegmentPath(FloppyPrefix("a:"), "README", 3), "a:\\README.003");
    // A dot in a folder name is not the file's extension.
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\v1.2"), "README", 1), "c:\\v1.2\\README.001");
    EXPECT_EQ(SegmentPath(HardDrivePrefix("c:\\x"), "trailing.", 2), "c:\\x\\trailing.002");
}

TEST(SegmentPathTest, FileNamePartFollowsTheLastBackslashOrColon) {
    EXPECT_EQ(FileNamePart("c:\\out\\data.zip"), "data.zip");
    EXPECT_EQ(FileNamePart("a:README"), "README");
    EXPECT_EQ(FileNamePart("plain"), "plain");
    EXPECT_EQ(FileNamePart("c:\\"), "");
}

TEST(SegmentPathTest, DescriptorFollowsTheLastSegmentsName) {
    EXPECT_EQ(DescriptorPath("c:\\out\\report.004"), "c:\\out\\report.kpn");
    EXPECT_EQ(DescriptorPath("a:\\REPORT~1.002"), "a:\\REPORT~1.kpn");
    EXPECT_EQ(DescriptorPath("c:\\out\\a.b.1000"), "c:\\out\\a.b.kpn");
}

} // namespace
} // namespace dividra::core
