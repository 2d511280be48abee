#include "ScriptedHost.h"
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

} // namespace
} // namespace dividra::core
