#include "HardDriveSplitFixture.h"
#include "core/recovery/Par2Format.h"
#include "core/recovery/RecoveryPlan.h"

#include <gtest/gtest.h>

// A folder split that writes recovery files: what an older set's ones become, and the room.
namespace dividra::core::test {
namespace {

class RecoverySplitTest : public HardDriveSplitTest {
protected:
    std::vector<std::string> recoveryFiles() const {
        std::vector<std::string> names;
        for (const std::string& entry : m_fs.listAll('c')) {
            if (entry.find(".par2") != std::string::npos) {
                names.push_back(entry.substr(0, entry.find(' ')));
            }
        }
        return names;
    }
};

TEST_F(RecoverySplitTest, AnOlderSetsRecoveryFilesGoAndOthersStayOrRefuse) {
    pick(3000, "1");
    m_host.inputs.recovery = 2;
    ASSERT_EQ(split(), SplitOutcome::Completed);
    // In the order made: the volumes, then the index.
    const std::vector<std::string> written{"\\out\\data.vol00+01.par2", "\\out\\data.vol01+01.par2",
                                           "\\out\\data.par2"};
    EXPECT_EQ(recoveryFiles(), written);
    // A split of the set without recovery takes the old files away: they describe it no more.
    m_host.inputs.recovery = 0;
    ASSERT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(recoveryFiles(), std::vector<std::string>{});
    // A file of the name that is no recovery file of this set stays, said so, be it a recovery
    // file of other files or none at all; with recovery to write, it refuses the split before
    // the first byte.
    par2::FileEntry other{{}, Md5Of("x"), Md5Of("x"), 1, "data.txt"};
    other.id = par2::FileIdOf(other.headHash, 1, other.name);
    const std::string main = par2::MainBody(4, {other.id});
    const Md5Digest set = Md5Of(main);
    m_fs.putFile("c:\\out\\data.par2",
                 par2::Packet(set, par2::kMainType, main) +
                     par2::Packet(set, par2::kFileDescType, par2::FileDescBody(other)));
    ASSERT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.eventsOf("note"),
              std::vector<std::string>{"Kept c:\\out\\data.par2: it is not a file of this set"});
    (void)m_fs.deleteFile("c:\\out\\data.par2");
    m_fs.putFile("c:\\out\\data.vol09+01.par2", "mine");
    m_host.events.clear();
    ASSERT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(
        m_host.eventsOf("note"),
        std::vector<std::string>{"Kept c:\\out\\data.vol09+01.par2: it is not a file of this set"});
    (void)m_fs.deleteFile("c:\\out\\data.000");
    m_host.inputs.recovery = 1;
    m_host.events.clear();
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.000"));
    EXPECT_EQ(m_host.eventsOf("error").size(), 1u);
    EXPECT_NE(m_host.eventsOf("error").front().find(
                  "c:\\out\\data.vol09+01.par2 is not a file of this set"),
              std::string::npos);
    EXPECT_EQ(m_fs.contents("c:\\out\\data.vol09+01.par2"), "mine");
}

TEST_F(RecoverySplitTest, TheRecoveryFilesAreCountedInTheRoomNeeded) {
    pick(3000000);
    m_host.inputs.recovery = 1;
    const std::int64_t needed =
        3000000 + 512 * (3 + 1) + RecoveryBytesFor(3000000, 1454080, 1) + 512 * (1 + 1);
    const std::int64_t free = m_fs.folderSpace("c:\\out").freeBytes;
    m_fs.putFile("c:\\filler", std::string(static_cast<std::size_t>(free - needed + 1), 'f'));
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error"),
              (std::vector<std::string>{"Insufficient space on drive c: to perform split."}));
    (void)m_fs.deleteFile("c:\\filler");
    m_fs.putFile("c:\\filler", std::string(static_cast<std::size_t>(free - needed), 'f'));
    EXPECT_EQ(split(), SplitOutcome::Completed);
    // What the plan counted is what the files took.
    std::int64_t taken = 0;
    for (const char* name : {"data.par2", "data.vol00+01.par2"}) {
        taken += static_cast<std::int64_t>(m_fs.contents("c:\\out\\" + std::string(name))->size());
    }
    EXPECT_GE(RecoveryBytesFor(3000000, 1454080, 1), taken);
    EXPECT_LE(RecoveryBytesFor(3000000, 1454080, 1), taken + 1024);
}

} // namespace
} // namespace dividra::core::test
