#include "platform/HostFolder.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"
#include "support/TmpfsMount.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

// What a split asks of a real destination before it writes: the names it creates, the room
// there, and its lock.
namespace dividra::platform {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(HostFolderNames, AnotherNameReachedByLetterCaseOrByAlias) {
    const detail::FolderNames folder{{"Annual Report 2023.000", "DATA.000", "data.001"},
                                     {"ANNUAL~1.000", "DATA.000", "DATA.001"}};
    EXPECT_EQ(detail::otherNameReached(folder, "data.001"), std::nullopt);
    EXPECT_EQ(detail::otherNameReached(folder, "new.000"), std::nullopt);
    const auto byCase = detail::otherNameReached(folder, "data.000");
    ASSERT_TRUE(byCase);
    EXPECT_EQ(byCase->name, "DATA.000");
    EXPECT_FALSE(byCase->byAlias);
    const auto byAlias = detail::otherNameReached(folder, "annual~1.000");
    ASSERT_TRUE(byAlias);
    EXPECT_EQ(byAlias->name, "Annual Report 2023.000");
    EXPECT_TRUE(byAlias->byAlias);
}

class PosixTargets : public ::testing::Test {
protected:
    PosixTargets() {
        std::filesystem::create_directories(m_dir.file("c/out"));
        std::filesystem::create_directories(m_dir.file("c/other"));
    }

    PosixFileSystem makeFs() const {
        return PosixFileSystem(DriveTable::parse("c=" + m_dir.file("c") +
                                                 ",fixed;a=" + m_dir.file("fd") + ",removable")
                                   .value());
    }

    TempDir m_dir;
    ScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_dir.path()};
};

// Each program holds its own lock: two file systems stand for two running splits.
TEST_F(PosixTargets, SplitLocksKeepOutOnlyTheSameFolderOrDrive) {
    PosixFileSystem one = makeFs();
    PosixFileSystem two = makeFs();
    auto held = one.lockFolder("c:\\out");
    ASSERT_TRUE(held.ok()) << held.error().message;
    const auto refused = two.lockFolder("C:\\OUT");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code, ErrorCode::SharingViolation);
    EXPECT_EQ(refused.error().message, "C:\\OUT: another split is writing there now");
    EXPECT_TRUE(two.lockFolder("c:\\other").ok());
    held.value().reset();
    EXPECT_TRUE(two.lockFolder("c:\\out").ok());
    EXPECT_EQ(two.lockFolder("c:\\missing").error().code, ErrorCode::PathNotFound);

    // A diskette drive is locked as a drive, whatever is (or isn't) in it.
    auto drive = one.lockFolder("a:\\");
    ASSERT_TRUE(drive.ok()) << drive.error().message;
    EXPECT_EQ(two.lockFolder("A:\\").error().code, ErrorCode::SharingViolation);
}

TEST_F(PosixTargets, FreeSpaceIsThatOfTheFolderOwnFileSystem) {
    const PosixFileSystem fs = makeFs();
    EXPECT_EQ(fs.folderSpace("c:\\missing").freeBytes, -1);
    test::TmpfsMount small(m_dir.file("c/out/small"));
    if (!small.mounted()) {
        GTEST_SKIP() << small.why();
    }
    const FolderSpace space = fs.folderSpace("c:\\out\\small");
    EXPECT_EQ(space.freeBytes, 1440 * 1024);
    EXPECT_EQ(space.unit, ::sysconf(_SC_PAGESIZE));
    EXPECT_NE(fs.folderSpace("c:\\out").freeBytes, 1440 * 1024);
}

TEST_F(PosixTargets, RenameReplacesAFileButNeverAFolderAReadOnlyFileOrAHeldOne) {
    PosixFileSystem fs = makeFs();
    const std::string out = m_dir.file("c/out/");
    m_dir.write("c/out/part.tmp", "new");
    m_dir.write("c/out/old.zip", "old");
    m_dir.write("c/out/ro.zip", "keep");
    ::chmod((out + "ro.zip").c_str(), 0444);
    std::filesystem::create_directories(out + "dir");
    m_dir.write("c/out/held.zip", "held");
    auto holder = fs.openRead("c:\\out\\held.zip");
    ASSERT_TRUE(holder.ok());
    std::filesystem::create_symlink(out + "old.zip", out + "link.zip");
    struct Case {
        const char* to;
        ErrorCode code;
    };
    for (const Case& c : {Case{"c:\\out\\dir", ErrorCode::AccessDenied},
                          Case{"c:\\out\\ro.zip", ErrorCode::AccessDenied},
                          Case{"c:\\out\\held.zip", ErrorCode::SharingViolation},
                          Case{"c:\\nowhere\\x.zip", ErrorCode::PathNotFound}}) {
        const Status refused = fs.renameFile("c:\\out\\part.tmp", c.to);
        ASSERT_FALSE(refused.ok()) << c.to;
        EXPECT_EQ(refused.error().code, c.code) << c.to << ": " << refused.error().message;
    }
    EXPECT_FALSE(fs.renameFile("c:\\out\\dir", "c:\\out\\x.zip").ok());
    EXPECT_EQ(fs.renameFile("c:\\out\\none", "c:\\out\\x.zip").error().code, ErrorCode::NotFound);
    // A link is replaced itself; the file it pointed at keeps its bytes.
    ASSERT_TRUE(fs.renameFile("c:\\out\\part.tmp", "c:\\out\\link.zip"));
    EXPECT_FALSE(std::filesystem::is_symlink(out + "link.zip"));
    EXPECT_EQ(TempDir::read(out + "link.zip"), "new");
    EXPECT_EQ(TempDir::read(out + "old.zip"), "old");
    ASSERT_TRUE(fs.renameFile("c:\\out\\link.zip", "c:\\out\\old.zip"));
    EXPECT_EQ(TempDir::read(out + "old.zip"), "new");
    EXPECT_EQ(TempDir::read(out + "ro.zip"), "keep");
}

} // namespace
} // namespace dividra::platform
