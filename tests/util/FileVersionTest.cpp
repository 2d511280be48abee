#include "util/FileVersion.h"

#include "fakes/MemoryFileSystem.h"
#include "platform/PosixFileSystem.h"
#include "support/PeImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dividra {
namespace {

using platform::DriveType;
using test::VersionInfo;
using test::VersionNode;

constexpr const char* DllPath = "c:\\usr\\lib\\comctl32.dll";

class FileVersionTest : public ::testing::Test {
protected:
    FileVersionTest() { m_fs.addDrive('c', DriveType::Fixed, std::int64_t{200} << 20); }

    std::string versionOf(const std::vector<std::byte>& file) {
        m_fs.putFile(DllPath, test::toString(file));
        return GetFileVersionText(m_fs, DllPath);
    }
    std::string versionOf(const VersionNode& block) {
        return versionOf(test::peWithVersion(test::encodeVersionNode(block)).bytes);
    }

    platform::MemoryFileSystem m_fs;
};

TEST_F(FileVersionTest, ReadsFileVersionOfPe32AndPe32Plus) {
    EXPECT_EQ(versionOf(test::peWithVersion(test::versionBlock(), false).bytes), "4.72.3110.1");
    EXPECT_EQ(versionOf(test::peWithVersion(test::versionBlock(), true).bytes), "4.72.3110.1");
    EXPECT_EQ(m_fs.openFiles(), 0);
}

TEST_F(FileVersionTest, TheFirstTranslationNamesTheTable) {
    EXPECT_EQ(versionOf(test::versionInfoNode({"040704B0", {{"FileVersion", "1.2"}}, 0x04B00407})),
              "1.2");
    EXPECT_EQ(versionOf(test::versionInfoNode({"040904e4", {{"FileVersion", "1.3"}}, 0x04E40409})),
              "1.3");
    EXPECT_EQ(versionOf(test::versionInfoNode({"040904E4", {{"FileVersion", "1.4"}}, 0x04B00409})),
              "");
    EXPECT_EQ(versionOf(test::versionInfoNode({"000004E4", {{"FileVersion", "1.5"}}, 0x04E40000})),
              "1.5");

    // Only the first: a second translation whose table has the string doesn't count.
    VersionNode two = test::versionInfoNode({"040904E4", {{"ProductVersion", "2.0"}}, 0x04E40409});
    VersionNode german{"040704B0", 1, {}, std::nullopt, {test::textNode("FileVersion", "2.1")}};
    two.children[0].children.push_back(german);
    auto& translations = two.children[1].children[0].value;
    for (int b : {0x07, 0x04, 0xB0, 0x04}) {
        translations.push_back(static_cast<std::byte>(b));
    }
    EXPECT_EQ(versionOf(two), "");
    std::swap(two.children[0].children[0], two.children[0].children[1]);
    EXPECT_EQ(versionOf(two), "");
    std::rotate(translations.begin(), translations.begin() + 4, translations.end());
    EXPECT_EQ(versionOf(two), "2.1");
}

TEST_F(FileVersionTest, TheTextExactlyAsStored) {
    const std::string text = "  5.00.2919.6307 (srv03_rtm.030324-2048) ";
    EXPECT_EQ(versionOf(test::versionInfoNode({"040904E4", {{"FileVersion", text}}})), text);
    EXPECT_EQ(versionOf(test::versionInfoNode({"040904E4", {{"FileVersion", "6.0\xC3\xA9"}}})),
              "6.0??");
}

TEST_F(FileVersionTest, EmptyWhenAnyPieceIsMissing) {
    EXPECT_EQ(GetFileVersionText(m_fs, "c:\\missing.dll"), "");
    EXPECT_EQ(GetFileVersionText(m_fs, "q:\\x.dll"), "");
    EXPECT_EQ(versionOf(test::toBytes("")), "");
    EXPECT_EQ(versionOf(test::toBytes("MZ this is no PE file")), "");
    const auto icon = test::toBytes("icon");
    EXPECT_EQ(versionOf(test::buildPeImage({false, {{3, {}, {icon}}}}).bytes), "");
    EXPECT_EQ(versionOf(test::versionInfoNode({"040904E4", {{"FileVersion", "1"}}, {}})), "");
    EXPECT_EQ(versionOf(test::versionInfoNode({"040904E4", {{"CompanyName", "V"}}})), "");
    VersionNode shortTranslation = test::versionInfoNode();
    shortTranslation.children[1].children[0].value.resize(3);
    EXPECT_EQ(versionOf(shortTranslation), "");
    EXPECT_EQ(m_fs.openFiles(), 0);
}

TEST_F(FileVersionTest, EmptyWhenTheFileCantBeRead) {
    m_fs.putFile(DllPath, test::toString(test::peWithVersion(test::versionBlock()).bytes));
    m_fs.addFault({platform::Fault::Kind::ReadFails, DllPath, 100, 1, ErrorCode::Io});
    EXPECT_EQ(GetFileVersionText(m_fs, DllPath), "");
    m_fs.addFault({platform::Fault::Kind::ReadShort, DllPath, 0x300, -1, ErrorCode::Io});
    EXPECT_EQ(GetFileVersionText(m_fs, DllPath), ""); // an early end of file
    m_fs.clearFaults();
    EXPECT_EQ(GetFileVersionText(m_fs, DllPath), "4.72.3110.1");
    EXPECT_EQ(m_fs.openFiles(), 0);
}

TEST_F(FileVersionTest, FilesAboveTheSizeLimitArentRead) {
    auto file = test::peWithVersion(test::versionBlock()).bytes;
    file.resize(static_cast<std::size_t>(MaxVersionFileSize));
    EXPECT_EQ(versionOf(file), "4.72.3110.1");
    file.push_back(std::byte{0});
    EXPECT_EQ(versionOf(file), "");
}

TEST_F(FileVersionTest, TruncatedFilesGiveNothingOrTheText) {
    const auto pe = test::peWithVersion(test::versionBlock());
    const std::size_t needed = pe.versionOffset + pe.versionSize;
    for (std::size_t length = 0; length <= pe.bytes.size(); length += 5) {
        const std::vector<std::byte> cut(pe.bytes.begin(), pe.bytes.begin() + length);
        ASSERT_EQ(versionOf(cut), length >= needed ? "4.72.3110.1" : "") << length;
    }
}

TEST(FileVersionPathTest, ReadsHostFilesThroughTheDriveTable) {
    test::TempDir dir;
    dir.write("lib/comctl32.dll", test::toString(test::peWithVersion(test::versionBlock()).bytes));
    platform::PosixFileSystem fs(
        platform::DriveTable::parse("c=/,fixed;e=" + dir.path() + ",fixed").value());
    EXPECT_EQ(GetFileVersionText(fs, "e:\\lib\\comctl32.dll"), "4.72.3110.1");
    EXPECT_EQ(GetFileVersionText(fs, "e:\\lib\\comctl64.dll"), "");
    EXPECT_EQ(GetFileVersionText(fs, "e:\\lib"), "");
}

} // namespace
} // namespace dividra
