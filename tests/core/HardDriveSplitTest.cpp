#include "HardDriveSplitFixture.h"
#include "core/transfer/Sha256.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

using platform::DriveType;
using platform::Fault;
using test::HardDriveSplitTest;
using test::ScriptedHost;

TEST_F(HardDriveSplitTest, ThreeMegabytesAt1420MakeThreeSegmentsAndTheDescriptor) {
    pick(3000000);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.000")->size(), 1454080u);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.001")->size(), 1454080u);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.002")->size(), 91840u);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.003"));
    EXPECT_EQ(joined(3), m_source);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n");
    EXPECT_EQ(m_fs.openFiles(), 0);
    EXPECT_EQ(m_host.eventsOf("status"),
              (std::vector<std::string>{"Splitting file to hard drive", "Ready"}));
    EXPECT_EQ(m_host.eventsOf("busy"), (std::vector<std::string>{"1", "0"}));
    const auto progress = m_host.eventsOf("progress");
    ASSERT_FALSE(progress.empty());
    EXPECT_LE(progress.size(), 21u);
    EXPECT_EQ(progress[progress.size() - 2], "20");
    EXPECT_EQ(progress.back(), "0");
    EXPECT_TRUE(m_host.boxes().empty());
    EXPECT_EQ(m_host.messagesProcessed, 0);
    // The source is closed before the descriptor is made; the segments' entries are on the disk
    // before it, and its own after it.
    const auto log = m_fs.callLog();
    EXPECT_EQ(std::vector<std::string>(log.end() - 7, log.end()),
              (std::vector<std::string>{"close c:\\data.zip", "flushFolder c:\\out",
                                        "createAlways c:\\out\\data.kpn",
                                        "write c:\\out\\data.kpn @0 50", "flush c:\\out\\data.kpn",
                                        "close c:\\out\\data.kpn", "flushFolder c:\\out"}));
}

// What reaches the disk when: every buffer, or every file once and then the folder.
TEST_F(HardDriveSplitTest, TheFlushPolicyDecidesWhichFlushesHappenInWhichOrder) {
    using Calls = std::vector<std::string>;
    const Calls bufferCalls{
        "createAlways data.000", "write data.000",        "flush data.000", "write data.000",
        "flush data.000",        "write data.000",        "flush data.000", "close data.000",
        "createAlways data.001", "write data.001",        "flush data.001", "close data.001",
        "flushFolder out",       "createAlways data.kpn", "write data.kpn", "flush data.kpn",
        "close data.kpn",        "flushFolder out"};
    // The second split first takes the first one's descriptor away, for good, before any
    // segment is touched.
    const Calls segmentCalls{
        "openRead data.kpn",      "read data.kpn",       "read data.kpn",
        "implicitClose data.kpn", "deleteFile data.kpn", "flushFolder out",
        "createAlways data.000",  "write data.000",      "write data.000",
        "write data.000",         "flush data.000",      "close data.000",
        "createAlways data.001",  "write data.001",      "flush data.001",
        "close data.001",         "flushFolder out",     "createAlways data.kpn",
        "write data.kpn",         "flush data.kpn",      "close data.kpn",
        "flushFolder out"};
    for (const auto& [policy, expected] : {std::pair{FlushPolicy::Buffer, bufferCalls},
                                           std::pair{FlushPolicy::Segment, segmentCalls}}) {
        const std::size_t earlier = m_fs.callLog().size();
        pick(150000, "100"); // 102400 bytes in three buffers, then 47600 in one
        m_host.inputs.flush = policy;
        ASSERT_EQ(split(), SplitOutcome::Completed);
        Calls calls; // the destination's calls: verb and file name
        const auto log = m_fs.callLog();
        for (const std::string& line :
             std::vector(log.begin() + static_cast<long>(earlier), log.end())) {
            const auto at = line.find("c:\\out");
            const std::string verb = line.substr(0, line.find(' '));
            if (at == std::string::npos || verb == "lockFolder" || verb == "folderSpace") {
                continue;
            }
            const std::string rest = line.substr(at + 6); // "\data.000 @0 49152", or nothing
            const std::string name = rest.empty() ? "out" : rest.substr(1, rest.find(' ') - 1);
            calls.push_back(verb + " " + name);
        }
        EXPECT_EQ(calls, expected);
        EXPECT_EQ(joined(2), m_source);
    }
}

TEST_F(HardDriveSplitTest, ASegmentSizeAboveTheSourceGivesOneSegment) {
    pick(5000, "1420");
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.000"), m_source);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=1\r\nTotal Size=5000\r\n");
}

TEST_F(HardDriveSplitTest, FreeSpaceIsCheckedAgainstSizePlus512PerSegmentAndOneMore) {
    pick(3000000);
    const std::int64_t needed = 3000000 + 512 * (3 + 1);
    const std::int64_t used = m_drive->usedBytes();
    m_fs.putFile(
        "c:\\filler",
        std::string(static_cast<std::size_t>(m_drive->capacity() - used - needed + 1), 'f'));
    // One byte short of the need.
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.boxes(),
              (std::vector<std::string>{"error Insufficient space on drive c: to perform split."}));
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.000"));
    EXPECT_TRUE(m_host.eventsOf("busy").empty());
    EXPECT_EQ(m_host.eventsOf("status").back(), "Ready");
    // A full disk reports 0 bytes, which is no unknown figure.
    m_fs.putFile("c:\\filler",
                 std::string(static_cast<std::size_t>(m_drive->capacity() - used), 'f'));
    ASSERT_EQ(m_fs.folderSpace("c:\\out").freeBytes, 0);
    m_host.events.clear();
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error"),
              (std::vector<std::string>{"Insufficient space on drive c: to perform split."}));
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.000"));
    // Exactly the need passes.
    m_fs.putFile("c:\\filler",
                 std::string(static_cast<std::size_t>(m_drive->capacity() - used - needed), 'f'));
    m_host.events.clear();
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(joined(3), m_source);
}

TEST_F(HardDriveSplitTest, FreeSpaceBeyond32BitsIsComparedWhole) {
    platform::MemoryFileSystem big;
    big.addDrive('c', DriveType::Fixed, 6LL * 1024 * 1024 * 1024);
    big.createFolder("c:\\out");
    pick(100000);
    big.putFile("c:\\data.zip", m_source);
    EXPECT_EQ(split(big), SplitOutcome::Completed);
    EXPECT_EQ(big.contents("c:\\out\\data.000"), m_source);
}

TEST_F(HardDriveSplitTest, The999SegmentLimit) {
    pick(999 * 1024, "1");
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.998")->size(), 1024u);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.999"));
    EXPECT_EQ(joined(999), m_source);

    m_host.events.clear();
    pick(999 * 1024 + 1, "1", "c:\\more.zip");
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error"),
              (std::vector<std::string>{"With the segment size you've selected, the destination\n"
                                        "file would be split into 1000 pieces.\n\n"
                                        "To maintain compatibility between Windows 95\n"
                                        "systems and Windows 3.1 systems, split files\n"
                                        "cannot have more than 999 segments."}));
    EXPECT_FALSE(m_fs.exists("c:\\out\\more.000"));
    EXPECT_EQ(m_host.eventsOf("status").back(), "Ready");
}

// A sparse file of terabytes in 1 KB segments has a count beyond 32 bits.
TEST_F(HardDriveSplitTest, ACountBeyond32BitsIsOverTheLimitToo) {
    pick(10);
    m_host.inputs.segmentCount = 3221225472;
    EXPECT_EQ(split(), SplitOutcome::Refused);
    ASSERT_EQ(m_host.eventsOf("error").size(), 1u);
    EXPECT_NE(m_host.eventsOf("error")[0].find("split into 3221225472 pieces."), std::string::npos);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.000"));
}

TEST_F(HardDriveSplitTest, MinimisesAndNotifiesAsTheSettingsSay) {
    WriteSettingInt(keys::kHardDriveOptions, keys::kMinimizeWhileSplitting, 1);
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedPlaySound, 1);
    WriteSettingText(keys::kGeneralOptions, keys::kSplitFinishedSound, "c:\\done.wav");
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 1);
    pick(1000);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.events,
              (std::vector<std::string>{"status Splitting file to hard drive", "busy 1", "minimize",
                                        "progress 20", "sound c:\\done.wav", "busy 0",
                                        "info Split complete!", "progress 0", "status Ready"}));
    EXPECT_EQ(joined(1), m_source);
}

TEST_F(HardDriveSplitTest, NotifyByOtherThanOneShowsNothing) {
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 2);
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedPlaySound, 2);
    WriteSettingInt(keys::kFloppyOptions, keys::kMinimizeWhileSplitting, 1);
    pick(1000);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_TRUE(m_host.boxes().empty());
    EXPECT_TRUE(m_host.eventsOf("sound").empty());
    EXPECT_EQ(std::count(m_host.events.begin(), m_host.events.end(), "minimize"), 0);
    EXPECT_EQ(joined(1), m_source);
}

TEST_F(HardDriveSplitTest, RefusesSizesItCantSplit) {
    for (const char* sizeText : {"", "0", "Custom", "-5"}) {
        m_host.events.clear();
        pick(5000, sizeText);
        EXPECT_EQ(split(), SplitOutcome::Refused) << sizeText;
        ASSERT_EQ(m_host.eventsOf("error").size(), 1u);
        EXPECT_EQ(m_host.eventsOf("error")[0], "A segment size of \"" + std::string(sizeText) +
                                                   "\" KB can't be used.\n\n"
                                                   "Choose a segment size from 1 to 1024 KB.");
    }
    m_host.events.clear();
    pick(0);
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error"),
              (std::vector<std::string>{"c:\\data.zip is empty.\n\nThere is nothing to split."}));
    m_host.events.clear();
    pick(10);
    m_host.inputs.sourceSize = 2147483648LL;
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error")[0].substr(0, 32), "c:\\data.zip is 2 GB or larger.\n\n");
    EXPECT_EQ(m_fs.listAll('c'), (std::vector<std::string>{"\\out\\", "\\data.zip 10"}));
}

TEST_F(HardDriveSplitTest, ASourceThatCantBeOpenedWritesNothing) {
    pick(5000);
    ASSERT_TRUE(m_fs.deleteFile("c:\\data.zip").ok());
    EXPECT_EQ(split(), SplitOutcome::Failed);
    EXPECT_EQ(m_host.boxes().size(), 1u);
    EXPECT_TRUE(m_host.boxes()[0].starts_with("error Can't open c:\\data.zip: "));
    EXPECT_TRUE(m_host.boxes()[0].ends_with("\n\nNothing was written."));
    EXPECT_TRUE(m_host.eventsOf("busy").empty());
    EXPECT_EQ(m_fs.listAll('c'), (std::vector<std::string>{"\\out\\"}));
}

TEST_F(HardDriveSplitTest, ASplitThatWouldOverwriteItsSourceWritesNothing) {
    m_host.inputs = {};
    pick(3000000, "1420", "c:\\out\\data.001");
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error"),
              (std::vector<std::string>{"Can't create c:\\out\\data.001: it is the file being "
                                        "split\n\nNothing was written."}));
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.000"));
    EXPECT_EQ(m_fs.contents("c:\\out\\data.001"), m_source);
}

TEST_F(HardDriveSplitTest, AFailingDiskEndsTheSplitInOrder) {
    pick(3000000);
    m_fs.addFault({Fault::Kind::WriteFails, "c:\\out\\data.001", 100000, -1, ErrorCode::DiskFull});
    EXPECT_EQ(split(), SplitOutcome::Failed);
    EXPECT_EQ(m_fs.openFiles(), 0);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.000")->size(), 1454080u);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.kpn"));
    const auto errors = m_host.eventsOf("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("The split stopped:\nCan't write c:\\out\\data.001: "));
    EXPECT_TRUE(errors[0].ends_with(
        "\n\nThe segments written so far are kept; no descriptor file was written."));
    const std::vector<std::string> tail(m_host.events.end() - 4, m_host.events.end());
    EXPECT_EQ(tail[0], "busy 0");
    EXPECT_EQ(tail[1], "progress 0");
    EXPECT_EQ(tail[3], "status Ready");
    // The failed segment is closed explicitly, at once, before the source.
    const auto log = m_fs.callLog();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"write c:\\out\\data.001 @98304 49152 -> DiskFull",
                                        "close c:\\out\\data.001", "close c:\\data.zip"}));
}

TEST_F(HardDriveSplitTest, ASourceThatShrinksEndsTheSplitInOrder) {
    pick(3000000);
    m_fs.addFault({Fault::Kind::ReadShort, "c:\\data.zip", 2000000});
    EXPECT_EQ(split(), SplitOutcome::Failed);
    EXPECT_EQ(m_fs.openFiles(), 0);
    EXPECT_NE(m_host.eventsOf("error")[0].find("c:\\data.zip: it ended after 2000000 of 3000000"),
              std::string::npos);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.kpn"));
}

TEST_F(HardDriveSplitTest, AMissingDescriptorIsReported) {
    pick(3000000);
    m_fs.addFault({Fault::Kind::CreateFails, "c:\\out\\*.kpn", 0, -1, ErrorCode::AccessDenied});
    EXPECT_EQ(split(), SplitOutcome::Failed);
    EXPECT_EQ(joined(3), m_source);
    const auto errors = m_host.eventsOf("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("The segments are complete, but the descriptor file is "
                                      "missing:\nCan't create c:\\out\\data.kpn: "));
    EXPECT_EQ(m_host.eventsOf("busy"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(m_host.eventsOf("status").back(), "Ready");
}

} // namespace
} // namespace dividra::core
