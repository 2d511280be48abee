#include "DriveTable.h"
#include "PosixFileSystem.h"
#include "ScriptedHost.h"
#include "SplitCommand.h"
#include "TempDir.h"
#include "TestBytes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>

// Floppy splits onto a real size-limited file system standing in for 1.44 MB diskettes.
namespace dividra::core {
namespace {

using Texts = std::vector<std::string>;
using dividra::test::TempDir;

class RealDisketteTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_mount);
        if (!insertDiskette()) {
            GTEST_SKIP() << "mount -t tmpfs refused here (" << std::strerror(errno)
                         << "); the real-diskette tests need it";
        }
        m_fs.emplace(
            platform::DriveTable::parse("a=" + m_mount + ",removable;c=" + m_dir.path() + ",fixed")
                .value());
    }
    void TearDown() override { ejectDiskette(); }

    // A fresh, empty 1440 KB "diskette" at the mount point.
    bool insertDiskette() {
        ejectDiskette();
        m_mounted = ::mount("tmpfs", m_mount.c_str(), "tmpfs", 0, "size=1440k") == 0;
        return m_mounted;
    }
    void ejectDiskette() {
        if (m_mounted) {
            ::umount2(m_mount.c_str(), MNT_DETACH);
            m_mounted = false;
        }
    }
    std::string onDiskette(const char* name) const { return TempDir::read(m_mount + "/" + name); }

    void pick(std::size_t size) {
        m_source = dividra::test::PatternBytes(size);
        m_dir.write("data.zip", m_source);
        m_host.inputs = test::FloppyInputs(size);
    }

    TempDir m_dir;
    test::ProfileScope m_profile;
    std::string m_mount = m_dir.file("floppy");
    bool m_mounted = false;
    std::optional<platform::PosixFileSystem> m_fs;
    test::ScriptedHost m_host;
    std::string m_source;
};

TEST_F(RealDisketteTest, ASplitAcrossSwappedDiskettes) {
    pick(2000000);
    Texts taken; // each diskette's files, read before it is swapped out
    m_host.onBox = [&](const std::string& kind, const std::string& text) {
        if (kind == "okcancel" && text.find("#2") != std::string::npos) {
            taken.push_back(onDiskette("data.000"));
            ASSERT_TRUE(insertDiskette());
        }
    };
    EXPECT_EQ(ToolBtnSplitClick(m_host, *m_fs), SplitOutcome::Completed);
    ASSERT_EQ(taken.size(), 1u);
    const std::string second = onDiskette("data.001");
    EXPECT_EQ(taken[0].size() + second.size(), m_source.size());
    EXPECT_EQ(taken[0] + second, m_source);
    EXPECT_EQ(onDiskette("data.kpn"), "File Ext=.zip\r\nTotal Files=2\r\nTotal Size=2000000\r\n");
}

TEST_F(RealDisketteTest, ADisketteThatFillsDuringASegmentStopsTheSplit) {
    pick(1000000);
    bool filled = false;
    m_host.onMessages = [&] {
        if (!filled) {
            filled = true;
            m_dir.write("floppy/other.bin", std::string(1200 * 1024, 'o'));
        }
    };
    EXPECT_EQ(ToolBtnSplitClick(m_host, *m_fs), SplitOutcome::Failed);
    const Texts errors = m_host.eventsOf("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("The split stopped:\nCan't write a:\\data.000: "))
        << errors[0];
    EXPECT_FALSE(std::filesystem::exists(m_mount + "/data.kpn"));
    EXPECT_EQ(m_host.eventsOf("busy"), (Texts{"1", "0"}));
}

} // namespace
} // namespace dividra::core
