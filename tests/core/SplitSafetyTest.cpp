#include "HardDriveSplitFixture.h"

#include "settings/Settings.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <functional>

// What a split must never do to the files around it, and how it says so.
namespace dividra::core {
namespace {

using platform::DriveType;
using platform::Fault;
using test::HardDriveSplitTest;

std::vector<std::string> creations(const platform::MemoryFileSystem& fs) {
    std::vector<std::string> out;
    for (const auto& call : fs.calls()) {
        if (call.op == "createAlways") {
            out.push_back(call.path);
        }
    }
    return out;
}

// Refusals found before segment 0: nothing is created, and the message says so.
TEST_F(HardDriveSplitTest, ObstaclesAmongTheTargetsRefuseTheSplitBeforeAnythingIsWritten) {
    std::unique_ptr<platform::FolderLock> held;
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::function<void()> undo;
        std::string message;
    };
    const std::vector<Case> cases{
        {"a folder named like a later segment", [&] { m_fs.createFolder("c:\\out\\DATA.001"); },
         [&] { (void)m_fs.removeFolder("c:\\out\\DATA.001"); },
         "Can't create c:\\out\\data.001: Is a directory\n\nNothing was written."},
        {"a read-only descriptor",
         [&] { m_fs.putFile("c:\\out\\data.kpn", "old", platform::attr::ReadOnly); },
         [&] {
             (void)m_fs.setAttributes("c:\\out\\data.kpn", 0);
             (void)m_fs.deleteFile("c:\\out\\data.kpn");
         },
         "Can't create c:\\out\\data.kpn: Permission denied\n\nNothing was written."},
        {"a folder named like the checksum file",
         [&] {
             m_host.inputs.checksums = true;
             m_fs.createFolder("c:\\out\\data.sha256");
         },
         [&] {
             m_host.inputs.checksums = false;
             (void)m_fs.removeFolder("c:\\out\\data.sha256");
         },
         "Can't create c:\\out\\data.sha256: Is a directory\n\nNothing was written."},
        {"another split in the same folder",
         [&] { held = std::move(m_fs.lockFolder("C:\\OUT")).value(); }, [&] { held.reset(); },
         "c:\\out: another split is writing there now\n\nNothing was written."},
        {"a destination that refuses the first segment",
         [&] {
             m_fs.addFault(
                 Fault{Fault::Kind::CreateFails, "c:\\out\\*", 0, 1, ErrorCode::AccessDenied});
         },
         [&] { m_fs.clearFaults(); },
         "Can't create c:\\out\\data.000: Permission denied\n\nNothing was written."},
    };
    pick(3000000);
    for (const Case& c : cases) {
        c.arrange();
        m_host.events.clear();
        m_fs.clearCalls();
        EXPECT_NE(split(), SplitOutcome::Completed) << c.what;
        EXPECT_EQ(m_host.eventsOf("error"), std::vector<std::string>{c.message}) << c.what;
        EXPECT_FALSE(m_fs.exists("c:\\out\\data.000")) << c.what;
        EXPECT_EQ(m_host.eventsOf("status").back(), "Ready") << c.what;
        EXPECT_EQ(m_fs.openFiles(), 0) << c.what;
        c.undo();
    }
    EXPECT_EQ(split(), SplitOutcome::Completed);
}

TEST_F(HardDriveSplitTest, TheLockIsHeldForTheWholeSplitAndReleasedAfterIt) {
    pick(3000000);
    bool lockedDuring = false;
    m_host.onBox = [&](const std::string&, const std::string&) {
        lockedDuring = !m_fs.lockFolder("c:\\out").ok();
    };
    m_fs.addDrive('d', DriveType::Fixed, 1 << 20);
    m_fs.createFolder("d:\\out");
    auto elsewhere = m_fs.lockFolder("d:\\out"); // another folder never stands in the way
    ASSERT_TRUE(elsewhere.ok());
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 1);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_TRUE(lockedDuring); // still held while "Split complete!" shows
    EXPECT_TRUE(m_fs.lockFolder("c:\\out").ok());
}

TEST_F(HardDriveSplitTest, ADescriptorThatFailsIsRemovedAndReportedMissing) {
    pick(3000000);
    m_fs.addFault(Fault{Fault::Kind::WriteFails, "c:\\out\\data.kpn", 0, -1, ErrorCode::Io});
    EXPECT_EQ(split(), SplitOutcome::Failed);
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.kpn"));
    EXPECT_EQ(joined(3), m_source);
    const auto errors = m_host.eventsOf("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(
        errors[0].starts_with("The segments are complete, but the descriptor file is missing:\n"))
        << errors[0];
}

// Every file ends in a partly used allocation unit: with 4 KB units, room of 512 bytes a file
// would pass a split that can't fit.
TEST_F(HardDriveSplitTest, RoomPerSegmentIsAtLeastTheAllocationUnit) {
    m_drive->setClusterSize(4096);
    pick(1472000); // two segments; with the descriptor they need 1484288 bytes of room
    const std::int64_t free = m_drive->freeBytes();
    const auto leave = [&](std::int64_t clusters) {
        m_fs.putFile("c:\\filler",
                     std::string(static_cast<std::size_t>(free - clusters * 4096), 'f'));
    };
    leave(362); // 512 bytes a file would pass: 1473536 <= 1482752
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.eventsOf("error"),
              std::vector<std::string>{"Insufficient space on drive c: to perform split."});
    EXPECT_TRUE(creations(m_fs).empty());
    leave(363);
    EXPECT_EQ(split(), SplitOutcome::Completed);
}

class FloppySafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.addDrive('c', DriveType::Fixed, 64 * 1024 * 1024);
        m_fs.putFile("c:\\data.zip", dividra::test::PatternBytes(3000));
        m_host.inputs = test::FloppyInputs(3000);
    }

    test::ProfileScope m_profile;
    platform::MemoryFileSystem m_fs;
    test::ScriptedHost m_host;
};

// Erasing empties every folder of a drive: never a network share's or a RAM disk's.
TEST_F(FloppySafetyTest, EraseRunsOnlyOnRemovableDrives) {
    m_fs.addDrive('n', DriveType::Remote, 1 << 20);
    m_fs.addDrive('r', DriveType::RamDisk, 1 << 20);
    m_fs.putFile("n:\\share\\report.doc", "keep");
    m_fs.putFile("r:\\scratch.txt", "keep");
    for (const auto& [drive, text] :
         {std::pair{"n:", "N: is a network drive"}, std::pair{"r:", "R: is a RAM disk"}}) {
        m_host.inputs.floppyDrive = drive;
        m_host.inputs.eraseDiskettes = true;
        m_host.events.clear();
        m_fs.clearCalls();
        EXPECT_EQ(m_host.runSplit(m_fs), SplitOutcome::Refused);
        const auto errors = m_host.eventsOf("error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], "Erase Diskettes is on, but " + std::string(text) +
                                 ", not a diskette drive.\n\nDividra erases only diskettes in "
                                 "removable drives. Turn Erase Diskettes off to split onto " +
                                 std::string(text, 2) +
                                 " without erasing it.\n\nNothing was "
                                 "written.");
        EXPECT_TRUE(m_host.eventsOf("okcancel").empty());
        EXPECT_TRUE(m_fs.callLog().empty()) << drive;
        // Without erasing the drive takes the split.
        m_host.inputs.eraseDiskettes = false;
        EXPECT_EQ(m_host.runSplit(m_fs), SplitOutcome::Completed) << drive;
    }
    EXPECT_EQ(m_fs.contents("n:\\share\\report.doc"), "keep");
    EXPECT_EQ(m_fs.contents("r:\\scratch.txt"), "keep");
}

TEST_F(FloppySafetyTest, ADriveInUseByAnotherSplitIsRefusedBeforeAnyPrompt) {
    m_fs.addDrive('a', DriveType::Removable, 1457664);
    m_fs.setMediumPresent('a', false);
    auto held = m_fs.lockFolder("a:\\");
    ASSERT_TRUE(held.ok());
    EXPECT_EQ(m_host.runSplit(m_fs), SplitOutcome::Refused);
    EXPECT_EQ(m_host.boxes(), std::vector<std::string>{"error a:\\: another split is writing "
                                                       "there now\n\nNothing was written."});
    held.value().reset();
    m_host.answers = {IDOK, IDNO}; // no diskette in the drive: give up
    EXPECT_EQ(m_host.runSplit(m_fs), SplitOutcome::Cancelled);
}

} // namespace
} // namespace dividra::core
