#include "platform/DosPath.h"

#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace dividra::platform {
namespace {

using test::TempDir;

std::string errorOf(const Result<std::string>& result, ErrorCode code) {
    EXPECT_FALSE(result.ok());
    if (result.ok()) {
        return "unexpected success: " + result.value();
    }
    EXPECT_EQ(result.error().code, code) << result.error().message;
    return result.error().message;
}

// The DOS form of a host path on a c: that is "/".
std::string onC(std::string hostPath) {
    std::replace(hostPath.begin(), hostPath.end(), '/', '\\');
    return "c:" + hostPath;
}

TEST(DosPath, SplitFoldsDotsAndStopsAtTheRoot) {
    auto parts = splitDosPath("C:\\Data\\.\\x\\..\\\\File.TXT\\");
    ASSERT_TRUE(parts.ok());
    EXPECT_EQ(parts.value().letter, 'c');
    EXPECT_EQ(parts.value().components, (std::vector<std::string>{"Data", "File.TXT"}));
    EXPECT_EQ(splitDosPath("d:\\..\\..\\etc").value().components, std::vector<std::string>{"etc"});
    EXPECT_TRUE(splitDosPath("c:").value().components.empty());
    EXPECT_TRUE(splitDosPath("c:\\").value().components.empty());
    EXPECT_EQ(joinDosPath('c', {}), "c:\\");
    EXPECT_EQ(joinDosPath('d', {"Data", "File.TXT"}), "d:\\Data\\File.TXT");
}

TEST(DosPath, RelativeAndUnsafePathsAreRefused) {
    const std::string relative = ": not a full path (drive letter, colon and backslash expected)";
    for (const char* path : {"data.zip", "c:data.zip", "\\data.zip", "1:\\x", "\\\\srv\\share"}) {
        auto parts = splitDosPath(path);
        ASSERT_FALSE(parts.ok()) << path;
        EXPECT_EQ(parts.error().code, ErrorCode::PathNotFound);
        EXPECT_EQ(parts.error().message, path + relative);
    }
    EXPECT_EQ(splitDosPath("").error().message, "\"\"" + relative);
    EXPECT_EQ(splitDosPath("c:\\a/b\\c").error().message,
              "c:\\a/b\\c: the name \"a/b\" holds characters not allowed in names");
    EXPECT_EQ(splitDosPath(std::string("c:\\a\0b", 6)).error().message,
              "c:\\a\\x00b: the name \"a\\x00b\" holds characters not allowed in names");
    EXPECT_EQ(splitDosPath("c:\\*.zip").error().code, ErrorCode::InvalidName);
}

TEST(DosPath, ShowableNamesAreUtf8WithoutDosSpecials) {
    for (const char* name : {"a", "data 1.zip", "caf\xC3\xA9", "\xF0\x9F\x98\x80", "~$x"}) {
        EXPECT_TRUE(isDosShowableName(name)) << name;
    }
    for (const char* name : {"", "a:b", "a\\b", "a*", "a?", "\"", "<", ">", "|", "\x1F", "\x7F",
                             "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xFF"}) {
        EXPECT_FALSE(isDosShowableName(name)) << name;
    }
}

class DosPathMapping : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_dir.file("d/inner"));
        auto table = DriveTable::parse(
            "c=/,fixed;d=" + m_dir.file("d") + ",fixed;e=" + m_dir.file("d/inner") +
            ",fixed;a=" + m_dir.file("nofd") + ",removable;f=" + m_dir.file("d") + ",fixed");
        ASSERT_TRUE(table.ok());
        m_table = std::move(table).value();
    }

    TempDir m_dir;
    DriveTable m_table;
};

TEST_F(DosPathMapping, DosToHostKeepsTypedNamesUnderTheDriveRoot) {
    EXPECT_EQ(dosToHost(m_table, "D:\\Sub\\File.txt").value(), m_dir.file("d/Sub/File.txt"));
    EXPECT_EQ(dosToHost(m_table, "d:").value(), m_dir.file("d"));
    EXPECT_EQ(dosToHost(m_table, "d:\\..\\..\\x").value(), m_dir.file("d/x"));
    EXPECT_EQ(dosToHost(m_table, "c:").value(), "/");
    EXPECT_EQ(dosToHost(m_table, "c:\\").value(), "/");
    EXPECT_EQ(dosToHost(m_table, "C:\\etc\\hosts").value(), "/etc/hosts");
    EXPECT_EQ(errorOf(dosToHost(m_table, "q:\\x"), ErrorCode::PathNotFound),
              "q:\\x: there is no drive q:");
    EXPECT_EQ(errorOf(dosToHost(m_table, "A:\\x"), ErrorCode::NotReady),
              "A:\\x: no disk in drive a:");
    // Nor does its bare folder hold a diskette.
    std::filesystem::create_directory(m_dir.file("nofd"));
    EXPECT_EQ(errorOf(dosToHost(m_table, "a:\\x"), ErrorCode::NotReady),
              "a:\\x: no disk in drive a:");
}

TEST_F(DosPathMapping, HostToDosPicksTheLongestRootThenTheFirstLetter) {
    EXPECT_EQ(hostToDos(m_table, m_dir.file("d/Sub/File.txt")).value(), "d:\\Sub\\File.txt");
    EXPECT_EQ(hostToDos(m_table, m_dir.file("d")).value(), "d:\\");
    EXPECT_EQ(hostToDos(m_table, m_dir.file("d/inner/x")).value(), "e:\\x");
    EXPECT_EQ(hostToDos(m_table, m_dir.file("dx")).value(), onC(m_dir.file("dx")));
    EXPECT_EQ(hostToDos(m_table, "/").value(), "c:\\");
    EXPECT_EQ(hostToDos(m_table, "/a//b/./../c/").value(), "c:\\a\\c");
    // The removable drive without its folder holds nothing.
    EXPECT_EQ(hostToDos(m_table, m_dir.file("nofd/x")).value(), onC(m_dir.file("nofd/x")));
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.file("d"));
    EXPECT_EQ(hostToDos(m_table, "Sub/../x.txt").value(), "d:\\x.txt");
    std::filesystem::current_path(old);
}

TEST_F(DosPathMapping, HostNamesThatCantBeShownAreRefusedByName) {
    EXPECT_EQ(errorOf(hostToDos(m_table, "/tmp/a:b/c"), ErrorCode::InvalidName),
              "/tmp/a:b/c: the name \"a:b\" can't be shown as a DOS name");
    EXPECT_EQ(errorOf(hostToDos(m_table, "/tmp/bad\xFFname"), ErrorCode::InvalidName),
              "/tmp/bad\\xFFname: the name \"bad\\xFFname\" can't be shown as a DOS name");
    EXPECT_EQ(errorOf(hostToDos(m_table, "/tmp/tab\there"), ErrorCode::InvalidName),
              "/tmp/tab\\x09here: the name \"tab\\x09here\" can't be shown as a DOS name");
    EXPECT_EQ(hostToDos(m_table, "/tmp/caf\xC3\xA9").value(), "c:\\tmp\\caf\xC3\xA9");
    const DriveTable noC = DriveTable::parse("d=" + m_dir.file("d") + ",fixed").value();
    EXPECT_EQ(errorOf(hostToDos(noC, "/etc"), ErrorCode::PathNotFound), "/etc: not on any drive");
}

} // namespace
} // namespace dividra::platform
