#include "platform/DriveTable.h"

#include "support/TempDir.h"
#include "support/TmpfsMount.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace dividra::platform {
namespace {

using test::ScopedEnv;
using test::TempDir;
using test::TmpfsMount;

std::string parseError(std::string_view spec) {
    auto table = DriveTable::parse(spec);
    EXPECT_FALSE(table.ok()) << spec;
    EXPECT_EQ(table.ok() ? ErrorCode::Io : table.error().code, ErrorCode::InvalidArgument);
    return table.ok() ? "" : table.error().message;
}

TEST(DriveTable, ParsesEntriesInAnyCaseAndSortsThemByLetter) {
    auto table =
        DriveTable::parse("D=/mnt/cd//disc/,CDROM,My Disc;;c=/,fixed;a=/mnt/fd,Removable;");
    ASSERT_TRUE(table.ok()) << table.error().message;
    const auto& entries = table.value().entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].letter, 'a');
    EXPECT_EQ(entries[0].type, DriveType::Removable);
    EXPECT_EQ(entries[0].hostRoot, "/mnt/fd");
    EXPECT_EQ(entries[1].letter, 'c');
    EXPECT_EQ(entries[1].hostRoot, "/");
    EXPECT_EQ(entries[1].label, "");
    EXPECT_EQ(entries[2].letter, 'd');
    EXPECT_EQ(entries[2].type, DriveType::CdRom);
    EXPECT_EQ(entries[2].hostRoot, "/mnt/cd/disc");
    EXPECT_EQ(entries[2].label, "My Disc");
    EXPECT_EQ(table.value().find('C'), &entries[1]);
    EXPECT_EQ(table.value().find('b'), nullptr);
    EXPECT_EQ(table.value().find(':'), nullptr);
    EXPECT_TRUE(DriveTable::parse("").value().entries().empty());
}

TEST(DriveTable, EachKindIsNamedByTheWordThatGivesIt) {
    for (const char* kind : {"removable", "fixed", "remote", "cdrom", "ramdisk"}) {
        const auto table = DriveTable::parse(std::string("c=/,") + kind);
        ASSERT_TRUE(table.ok()) << kind;
        EXPECT_EQ(driveKindName(table.value().entries().front().type), kind);
    }
    EXPECT_EQ(driveKindName(DriveType::NoRootDir), "unknown");
}

TEST(DriveTable, MalformedEntriesAreQuotedInTheError) {
    EXPECT_EQ(parseError("a=/mnt/fd,floppy"),
              "DIVIDRA_DRIVES: bad drive kind \"floppy\" in entry \"a=/mnt/fd,floppy\"");
    EXPECT_EQ(parseError("c=/,fixed;a/mnt/fd"),
              "DIVIDRA_DRIVES: missing \"=\" in entry \"a/mnt/fd\"");
    EXPECT_EQ(parseError("1=/x,fixed"),
              "DIVIDRA_DRIVES: bad drive letter \"1\" in entry \"1=/x,fixed\"");
    EXPECT_EQ(parseError("cd=/x,fixed"),
              "DIVIDRA_DRIVES: bad drive letter \"cd\" in entry \"cd=/x,fixed\"");
    EXPECT_EQ(parseError("c=mnt/x,fixed"),
              "DIVIDRA_DRIVES: host path \"mnt/x\" is not absolute in entry \"c=mnt/x,fixed\"");
    EXPECT_EQ(parseError("c=/x"), "DIVIDRA_DRIVES: missing drive kind in entry \"c=/x\"");
    EXPECT_EQ(parseError("a=/x,fixed;A=/y,fixed"),
              "DIVIDRA_DRIVES: drive letter \"a\" given twice in entry \"A=/y,fixed\"");
}

TEST(DriveTable, HostPathsAreLexicallyNormal) {
    EXPECT_EQ(lexicallyNormalHostPath("/a//b/./c/../d/"), "/a/b/d");
    EXPECT_EQ(lexicallyNormalHostPath("/../.."), "/");
    EXPECT_EQ(lexicallyNormalHostPath("/"), "/");
}

TEST(DriveTable, ConfiguredRemovableDriveHasAMediumOnlyWhileSomethingIsMountedOnIt) {
    TempDir dir;
    auto table =
        DriveTable::parse("a=" + dir.file("fd") + ",removable;c=" + dir.file("none") + ",fixed");
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(table.value().currentRoot('a'), std::nullopt);
    // A bare folder is an empty drive, never a diskette to write into or erase.
    std::filesystem::create_directory(dir.file("fd"));
    EXPECT_EQ(table.value().currentRoot('A'), std::nullopt);
    // A fixed drive is taken at its word.
    EXPECT_EQ(table.value().currentRoot('c'), dir.file("none"));
    EXPECT_EQ(table.value().currentRoot('q'), std::nullopt);

    TmpfsMount diskette(dir.file("fd"));
    if (!diskette.mounted()) {
        GTEST_SKIP() << diskette.why();
    }
    EXPECT_EQ(table.value().currentRoot('A'), dir.file("fd"));
    diskette.unmount();
    EXPECT_EQ(table.value().currentRoot('a'), std::nullopt);
}

TEST(DriveTable, EnvironmentOverridesDetection) {
    {
        ScopedEnv env("DIVIDRA_DRIVES", "e=/srv,remote,//server/share");
        auto table = DriveTable::fromEnvironment();
        ASSERT_TRUE(table.ok());
        ASSERT_EQ(table.value().entries().size(), 1u);
        EXPECT_EQ(table.value().entries()[0].label, "//server/share");
    }
    {
        ScopedEnv env("DIVIDRA_DRIVES", "e=/srv,tape");
        EXPECT_EQ(DriveTable::fromEnvironment().error().message,
                  "DIVIDRA_DRIVES: bad drive kind \"tape\" in entry \"e=/srv,tape\"");
    }
    ScopedEnv env("DIVIDRA_DRIVES", "");
    auto detected = DriveTable::fromEnvironment();
    ASSERT_TRUE(detected.ok());
    ASSERT_NE(detected.value().find('c'), nullptr);
    EXPECT_EQ(detected.value().find('c')->hostRoot, "/");
}

// A sysfs block folder: disk sda with partitions, and so on.
void addDevice(const TempDir& sys, const std::string& path, const std::string& number,
               const std::string& removable = "0", const std::string& size = "0") {
    sys.write("block/" + path + "/dev", number + "\n");
    sys.write("block/" + path + "/removable", removable + "\n");
    sys.write("block/" + path + "/size", size + "\n");
}

class Detection : public ::testing::Test {
protected:
    void SetUp() override {
        addDevice(m_sys, "sda", "8:0", "0", "500000000");
        addDevice(m_sys, "sda/sda1", "8:1");
        addDevice(m_sys, "sdb", "8:16", "1", "31250000"); // USB stick
        addDevice(m_sys, "sdb/sdb1", "8:17");
        addDevice(m_sys, "sdc", "8:32", "1", "2880"); // USB diskette drive
        addDevice(m_sys, "fd0", "2:0", "0", "2880");
        addDevice(m_sys, "sr0", "11:0", "1", "0"); // empty CD drive: not a diskette
        std::filesystem::create_directories(m_labels.path());
        std::filesystem::create_symlink("../../sdb1", m_labels.file("STICK\\x20LABEL"));
        m_paths = {m_dir.file("mountinfo"), m_sys.path(), m_labels.path()};
    }

    TempDir m_dir;
    TempDir m_sys;
    TempDir m_labels;
    HostPaths m_paths;
};

TEST_F(Detection, LettersKindsAndLabelsFollowTheMountTable) {
    const std::string mountInfo =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 8:17 / /media/ann/MY\\040STICK rw shared:5 - vfat /dev/sdb1 rw,uid=1000\n"
        "31 22 2:0 / /media/floppy rw - vfat /dev/fd0 rw\n"
        "32 22 11:0 / /run/media/ann/CDROM ro - iso9660 /dev/sr0 ro\n"
        "33 22 0:50 / /mnt/share rw - cifs //server/share rw\n"
        "34 22 0:51 / /mnt/ram rw - tmpfs tmpfs rw\n"
        "35 22 8:1 /home /home/ann/elsewhere rw - ext4 /dev/sda1 rw\n"
        "36 22 0:52 / /mntx rw - ext4 /dev/sda1 rw\n"
        "37 22 0:53 / /mnt/remote rw - fuse.sshfs ann@host:/x rw\n"
        "38 22 8:1 / /mnt/data rw - ext4 /dev/sda1 rw\n"
        "39 22 0:54 / /mnt/remote rw - 9p hostshare rw\n"
        "garbage line\n";
    const DriveTable table = DriveTable::detect(mountInfo, m_paths);
    struct Expected {
        char letter;
        DriveType type;
        const char* root;
        const char* label;
        const char* device;
    };
    const Expected expected[] = {
        {'a', DriveType::Removable, "/media/floppy", "floppy", "/dev/fd0"},
        {'b', DriveType::Removable, "", "", "/dev/sdc"},
        {'c', DriveType::Fixed, "/", "", ""},
        {'d', DriveType::Removable, "/media/ann/MY STICK", "STICK LABEL", "/dev/sdb1"},
        {'e', DriveType::CdRom, "/run/media/ann/CDROM", "CDROM", ""},
        {'f', DriveType::Remote, "/mnt/share", "//server/share", ""},
        {'g', DriveType::RamDisk, "/mnt/ram", "ram", ""},
        {'h', DriveType::Remote, "/mnt/remote", "hostshare", ""}, // the later mount covers
        {'i', DriveType::Fixed, "/mnt/data", "data", ""},
    };
    ASSERT_EQ(table.entries().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const DriveEntry& entry = table.entries()[i];
        EXPECT_EQ(entry.letter, expected[i].letter);
        EXPECT_EQ(entry.type, expected[i].type) << entry.letter;
        EXPECT_EQ(entry.hostRoot, expected[i].root) << entry.letter;
        EXPECT_EQ(entry.label, expected[i].label) << entry.letter;
        EXPECT_EQ(entry.device, expected[i].device) << entry.letter;
    }
}

TEST_F(Detection, LettersStopAtZ) {
    std::string mountInfo;
    for (int i = 0; i < 30; ++i) {
        mountInfo += "40 22 0:9" + std::to_string(i) + " / /mnt/m" + std::to_string(i) +
                     " rw - ext4 /dev/x rw\n";
    }
    const DriveTable table = DriveTable::detect(mountInfo, HostPaths{"", "/nonexistent", ""});
    ASSERT_EQ(table.entries().size(), 24u); // c: and d: to z:
    EXPECT_EQ(table.entries().back().letter, 'z');
    EXPECT_EQ(table.entries().back().hostRoot, "/mnt/m22");
}

TEST_F(Detection, RemovableDriveFollowsItsDeviceAcrossRemounts) {
    const DriveTable table = DriveTable::detect("", m_paths);
    ASSERT_EQ(table.find('a')->device, "/dev/fd0");
    EXPECT_EQ(table.currentRoot('a'), std::nullopt); // no mount table yet
    m_dir.write("mountinfo", "31 22 2:0 / /media/fd\\040A rw - vfat /dev/fd0 rw\n");
    EXPECT_EQ(table.currentRoot('a'), "/media/fd A");
    m_dir.write("mountinfo", "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    EXPECT_EQ(table.currentRoot('a'), std::nullopt);
    m_dir.write("mountinfo", "50 22 2:0 / /mnt/floppy rw - msdos /dev/fd0 rw\n");
    EXPECT_EQ(table.currentRoot('a'), "/mnt/floppy");
}

} // namespace
} // namespace dividra::platform
