#include "ScriptedHost.h"
#include "core/split/SplitCommand.h"
#include "platform/DriveTable.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"
#include "support/TestBytes.h"
#include "support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <filesystem>

// Floppy splits onto a real size-limited file system standing in for 1.44 MB diskettes.
namespace dividra::core {
namespace {

using Texts = std::vector<std::string>;
using dividra::test::TempDir;

class RealDisketteTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_diskette.mounted()) {
            GTEST_SKIP() << m_diskette.why() << "; the real-diskette tests need it";
        }
        m_fs.emplace(
            platform::DriveTable::parse("a=" + m_mount + ",removable;c=" + m_dir.path() + ",fixed")
                .value());
    }

    // A fresh, empty 1440 KB "diskette" at the mount point.
    bool insertDiskette() { return m_diskette.remount(); }
    std::string onDiskette(const char* name) const { return TempDir::read(m_mount + "/" + name); }

    void pick(std::size_t size) {
        m_source = dividra::test::PatternBytes(size);
        m_dir.write("data.zip", m_source);
        m_host.inputs = test::FloppyInputs(size);
    }

    TempDir m_dir;
    test::ProfileScope m_profile;
    std::string m_mount = m_dir.file("floppy");
    dividra::test::TmpfsMount m_diskette{m_mount};
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
    EXPECT_EQ(m_host.runSplit(*m_fs), SplitOutcome::Completed);
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
    EXPECT_EQ(m_host.runSplit(*m_fs), SplitOutcome::Failed);
    const Texts errors = m_host.eventsOf("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("The split stopped:\nCan't write a:\\data.000: "))
        << errors[0];
    EXPECT_FALSE(std::filesystem::exists(m_mount + "/data.kpn"));
    EXPECT_EQ(m_host.eventsOf("busy"), (Texts{"1", "0"}));
}

// A bare mount folder is an empty drive: the question comes, and nothing lands in the folder,
// not even when erasing is on.
TEST_F(RealDisketteTest, ADisketteTakenOutBetweenPromptsGetsTheNoDisketteQuestion) {
    pick(2000000);
    m_host.inputs.eraseDiskettes = true;
    m_host.answers = {IDOK, IDOK, IDNO};
    m_host.onBox = [&](const std::string& kind, const std::string& text) {
        if (kind == "okcancel" && text.find("#2") != std::string::npos) {
            m_diskette.unmount();
            m_dir.write("floppy/keep.txt", "the folder's own file");
        }
    };
    EXPECT_EQ(m_host.runSplit(*m_fs), SplitOutcome::Cancelled);
    const Texts questions = m_host.eventsOf("yesno");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].starts_with("Either there is no diskette in drive A:"))
        << questions[0];
    EXPECT_EQ(onDiskette("keep.txt"), "the folder's own file");
    EXPECT_FALSE(std::filesystem::exists(m_mount + "/data.001"));
    EXPECT_FALSE(std::filesystem::exists(m_mount + "/data.kpn"));
    EXPECT_TRUE(m_host.eventsOf("info").empty());
}

} // namespace
} // namespace dividra::core
