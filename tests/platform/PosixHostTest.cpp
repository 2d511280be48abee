#include "platform/HostSync.h"
#include "platform/PosixFileSystem.h"
#include "platform/Registry.h"
#include "platform/ShortName.h"

#include "support/ScopedHook.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <utility>
#include <vector>

// What the host layer promises beyond what a DOS program sees: descriptors released on every
// path, flushes made, free space as statvfs reports it available.
namespace dividra::platform {
namespace {

using detail::SyncKind;
using test::TempDir;
namespace fs = std::filesystem;

std::size_t openDescriptors() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

class PosixHost : public ::testing::Test {
protected:
    TempDir m_dir;
    PosixFileSystem m_fs{DriveTable::parse("c=" + m_dir.path() + ",fixed").value()};
};

TEST_F(PosixHost, RefusedOpensReleaseTheirDescriptor) {
    ASSERT_EQ(::mkfifo(m_dir.file("pipe").c_str(), 0666), 0);
    fs::create_directories(m_dir.file("folder"));
    const std::size_t before = openDescriptors();
    for (const char* path : {"c:\\pipe", "c:\\folder"}) {
        EXPECT_FALSE(m_fs.openRead(path).ok()) << path;
        EXPECT_FALSE(m_fs.openReadShared(path).ok()) << path;
        EXPECT_FALSE(m_fs.createAlways(path).ok()) << path;
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(PosixHost, AHostNameDosCantShowIsRefusedEvenThroughItsAlias) {
    const std::string name = "what?.txt";
    m_dir.write(name, "x");
    const std::string alias = shortAliases({name}).front();
    auto opened = m_fs.openRead("c:\\" + alias);
    ASSERT_TRUE(opened.ok()) << alias; // the alias reaches the file
    auto longPath = m_fs.longPath("c:\\" + alias);
    ASSERT_FALSE(longPath.ok()) << longPath.value();
    EXPECT_EQ(longPath.error().code, ErrorCode::InvalidName);
}

TEST_F(PosixHost, FileAndSettingsFlushesReachTheMedium) {
    std::vector<std::pair<SyncKind, std::string>> events;
    const test::ScopedHook log(
        detail::SetSyncObserver,
        [&events](SyncKind kind, const std::string& path) { events.emplace_back(kind, path); });
    auto file = m_fs.createAlways("c:\\Seg.000");
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(file.value()->flush().ok());
    ASSERT_TRUE(Registry(m_dir.file("registry.reg")).setValue("K", "V", 4, "abcd").ok());
    ASSERT_TRUE(m_fs.flushFolder("c:\\").ok());
    EXPECT_EQ(m_fs.flushFolder("c:\\none").error().code, ErrorCode::PathNotFound);

    const std::vector<std::pair<SyncKind, std::string>> expected{
        {SyncKind::Data, "c:\\Seg.000"},
        {SyncKind::Data, m_dir.file("registry.reg.tmp")}, // before the rename
        {SyncKind::Folder, m_dir.path()},                 // after it
        {SyncKind::Folder, "c:\\"},
    };
    EXPECT_EQ(events, expected);
}

// Space root may not use (ext4's reserved blocks) isn't free to a split.
TEST(PosixFreeSpace, IsWhatTheFileSystemCallsAvailable) {
    TempDir dir;
    const std::string image = dir.file("ext4.img");
    const std::string mount = dir.file("mnt");
    fs::create_directories(mount);
    const std::string make = "truncate -s 8M " + image + " && mkfs.ext4 -q -m 20 " + image +
                             " && mount -o loop " + image + " " + mount + " 2>/dev/null";
    if (std::system(make.c_str()) != 0) {
        GTEST_SKIP() << "can't make and mount an ext4 image here";
    }
    struct statvfs volume {};
    const int stated = ::statvfs(mount.c_str(), &volume);
    PosixFileSystem fs{DriveTable::parse("c=" + mount + ",fixed").value()};
    const std::int64_t free = fs.freeBytes(3);
    const FolderSpace space = fs.folderSpace("c:\\");
    std::system(("umount " + mount).c_str());

    ASSERT_EQ(stated, 0);
    ASSERT_LT(volume.f_bavail, volume.f_bfree);
    EXPECT_EQ(free, static_cast<std::int64_t>(volume.f_bavail * volume.f_frsize));
    EXPECT_EQ(space.freeBytes, free);
    EXPECT_EQ(space.unit, static_cast<std::int64_t>(volume.f_frsize));
}

} // namespace
} // namespace dividra::platform
