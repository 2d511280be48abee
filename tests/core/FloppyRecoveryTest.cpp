#include "ScriptedHost.h"
#include "core/join/DisketteJoin.h"
#include "core/recovery/RecoveryCheck.h"
#include "core/recovery/Repair.h"
#include "core/split/SplitCommand.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

// Recovery volumes of a diskette set: the index with the descriptor, the volumes after it on as
// many diskettes as they take, and the set rebuilt from what the diskettes hold.
namespace dividra::core {
namespace {

constexpr std::int64_t kHd = 1457664;

class FloppyRecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.addDrive('c', platform::DriveType::Fixed, 64 << 20);
        m_fs.addDrive('a', platform::DriveType::Removable, 0);
        m_fs.createFolder("c:\\set");
        for (int n = 1; n <= 9; ++n) {
            m_fs.addMedium("disk" + std::to_string(n), kHd).setClusterSize(512);
        }
        m_host.onBox = [this](const std::string& kind, const std::string& text) {
            const std::string lead = "Please insert diskette #";
            if (kind == "okcancel" && text.starts_with(lead)) {
                m_asked = std::stoi(text.substr(lead.size()));
                if (m_asked > m_cancelFrom) {
                    m_host.answers.push_back(IDCANCEL);
                    return;
                }
                m_fs.insertMedium('a', m_fs.mediumNamed("disk" + std::to_string(m_asked)));
            }
        };
    }
    SplitOutcome split(std::size_t size, int recovery) {
        m_source = dividra::test::PatternBytes(size);
        m_fs.putFile("c:\\data.zip", m_source);
        m_host.inputs = test::FloppyInputs(size);
        m_host.inputs.recovery = recovery;
        return m_host.runSplit(m_fs);
    }
    // Every file of the diskettes, gathered into c:\set as a user would copy them.
    std::vector<std::string> gather() {
        std::vector<std::string> names;
        for (int n = 1; n <= 9; ++n) {
            const platform::Medium& disk = m_fs.mediumNamed("disk" + std::to_string(n));
            for (const std::string& entry : disk.listAll()) {
                const std::string name = entry.substr(1, entry.find(' ') - 1);
                m_fs.putFile("c:\\set\\" + name, *disk.contents("\\" + name));
                names.push_back(std::to_string(n) + ":" + name);
            }
        }
        return names;
    }

    test::ProfileScope m_profile;
    platform::MemoryFileSystem m_fs;
    test::ScriptedHost m_host;
    std::string m_source;
    int m_asked = 0;
    int m_cancelFrom = 99;
};

TEST_F(FloppyRecoveryTest, VolumesFollowTheDescriptorAndRebuildALostDiskette) {
    ASSERT_EQ(split(3000000, 1), SplitOutcome::Completed);
    // 16 slices of 91104 bytes: 15 fit beside the last segment, the index and the descriptor.
    EXPECT_EQ(gather(), (std::vector<std::string>{"1:data.000", "2:data.001", "3:data.002",
                                                  "3:data.par2", "3:data.kpn",
                                                  "3:data.vol00+15.par2", "4:data.vol15+01.par2"}));
    EXPECT_EQ(m_asked, 4);
    (void)m_fs.deleteFile("c:\\set\\data.001");
    const std::vector<std::string> segments{"c:\\set\\data.000", "c:\\set\\data.001",
                                            "c:\\set\\data.002"};
    const auto state = CheckAgainstRecovery(m_fs, "c:\\set\\data.kpn", segments, {});
    ASSERT_TRUE(state.ok()) << state.error().message;
    EXPECT_EQ(state.value().set.sliceSize, 91104u);
    EXPECT_EQ(state.value().slicesNeeded, 16);
    ASSERT_TRUE(RepairSegments(m_fs, state.value(), {}).ok());
    EXPECT_TRUE(*m_fs.contents("c:\\set\\data.000") + *m_fs.contents("c:\\set\\data.001") +
                    *m_fs.contents("c:\\set\\data.002") ==
                m_source);
}

// A cancel at a volume's prompt leaves a whole set, its recovery short: the split says so as a
// cancel, and the slices written still serve.
TEST_F(FloppyRecoveryTest, ACancelAtAVolumesPromptKeepsTheSetWhole) {
    m_cancelFrom = 3;
    ASSERT_EQ(split(3000000, 1), SplitOutcome::Cancelled);
    EXPECT_EQ(gather(),
              (std::vector<std::string>{"1:data.000", "2:data.001", "3:data.002", "3:data.par2",
                                        "3:data.kpn", "3:data.vol00+15.par2"}));
    EXPECT_TRUE(m_host.eventsOf("info").empty()); // no "Split complete!"
}

// Diskette #2 is not to be had: the join goes on without it and rebuilds its segment from the
// volumes after the descriptor, asking for as many of them as it takes.
TEST_F(FloppyRecoveryTest, AJoinSkipsALostDisketteAndRebuildsItsSegment) {
    ASSERT_EQ(split(3000000, 1), SplitOutcome::Completed);
    m_fs.createFolder("c:\\joined");
    struct Feeder final : DisketteJoinObserver {
        platform::MemoryFileSystem& fs;
        int lost;
        std::vector<std::string> asked;
        Feeder(platform::MemoryFileSystem& f, int l) : fs(f), lost(l) {}
        bool askForDiskette(int number, std::string_view problem) override {
            asked.push_back(std::to_string(number) + (problem.empty() ? "" : ": ") +
                            std::string(problem));
            if (number == 2 && problem.empty()) {
                number = 3; // the wrong one first: #2 is lost
            } else if (number == 2 || number == lost) {
                return false;
            }
            fs.insertMedium('a', fs.mediumNamed("disk" + std::to_string(number)));
            return true;
        }
        bool askToSkip(int number, std::string_view) override { return number == 2; }
        bool cancelRequested() override { return false; }
    };
    Feeder feeder(m_fs, 0);
    const JoinResult joined = JoinFromDiskettes(m_fs, {"a:", "", "c:\\joined", false}, feeder);
    ASSERT_EQ(joined.outcome, JoinOutcome::Done) << joined.message;
    EXPECT_TRUE(m_fs.contents("c:\\joined\\data.zip") == m_source);
    EXPECT_EQ(feeder.asked,
              (std::vector<std::string>{
                  "1", "2", "2: This diskette doesn't hold a:\\data.001", "3",
                  "4: The recovery files read so far hold 15 slices; 16 are needed"}));
    // Nothing of what was kept aside stays.
    EXPECT_EQ(m_fs.listAll('c'),
              (std::vector<std::string>{"\\set\\", "\\data.zip 3000000", "\\joined\\",
                                        "\\joined\\data.zip 3000000"}));
    // Without diskette #4 the volumes fall short: refused, and nothing is left behind.
    (void)m_fs.deleteFile("c:\\joined\\data.zip");
    Feeder short4(m_fs, 4);
    const JoinResult refused = JoinFromDiskettes(m_fs, {"a:", "", "c:\\joined", false}, short4);
    EXPECT_EQ(refused.outcome, JoinOutcome::Refused);
    EXPECT_EQ(refused.message, "The skipped segments can't be rebuilt: The recovery files read so "
                               "far hold 15 slices; 16 are needed");
    EXPECT_EQ(m_fs.listAll('c').size(), 3u);
}

} // namespace
} // namespace dividra::core
