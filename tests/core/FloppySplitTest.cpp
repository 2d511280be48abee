#include "ScriptedHost.h"
#include "core/split/SplitCommand.h"
#include "fakes/MemoryFileSystem.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

using platform::DriveType;
using platform::Fault;
using test::ScriptedHost;
using Texts = std::vector<std::string>;

constexpr std::int64_t kDiskette = 1457664;

std::string insertPrompt(int n) {
    return "Please insert diskette #" + std::to_string(n) +
           " into drive \nA: and select OK when ready to\ncontinue.";
}

const std::string kNoDiskette = "Either there is no diskette in drive A:, or there\n"
                                "is a problem with the diskette.  If there is a\n"
                                "diskette in the drive, ensure that it isn't\n"
                                "write protected.\n\n"
                                "Do you wish to continue?";
const std::string kNoSpace =
    "There is no space available on this diskette.\nPlease insert a different diskette.";

class FloppySplitTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.addDrive('c', DriveType::Fixed, 64 * 1024 * 1024);
        m_fs.addDrive('a', DriveType::Removable, kDiskette);
        for (int n = 1; n <= 4; ++n) {
            m_fs.addMedium("disk" + std::to_string(n), kDiskette);
        }
        // Each insert prompt gets its numbered diskette, unless a test says otherwise.
        m_host.onBox = [this](const std::string& kind, const std::string& text) {
            const std::string lead = "Please insert diskette #";
            if (kind == "okcancel" && text.starts_with(lead) && m_swapOnPrompt) {
                const int n = std::stoi(text.substr(lead.size()));
                m_fs.insertMedium('a', m_fs.mediumNamed("disk" + std::to_string(n)));
            }
            if (m_extraOnBox) {
                m_extraOnBox(kind, text);
            }
        };
    }

    void pick(std::size_t size) {
        m_source = dividra::test::PatternBytes(size);
        m_fs.putFile("c:\\data.zip", m_source);
        m_host.inputs = test::FloppyInputs(size);
    }

    SplitOutcome split() { return m_host.runSplit(m_fs); }
    platform::Medium& disk(int n) { return m_fs.mediumNamed("disk" + std::to_string(n)); }
    std::size_t sizeOn(int n, const char* name) {
        const auto bytes = disk(n).contents(name);
        return bytes ? bytes->size() : 0;
    }

    test::ProfileScope m_profile;
    platform::MemoryFileSystem m_fs;
    ScriptedHost m_host;
    std::string m_source;
    bool m_swapOnPrompt = true;
    std::function<void(const std::string&, const std::string&)> m_extraOnBox;
};

TEST_F(FloppySplitTest, ThreeMegabytesFillTwoDiskettesAndPartOfAThird) {
    pick(3000000);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(sizeOn(1, "\\data.000"), 1457664u);
    EXPECT_EQ(sizeOn(2, "\\data.001"), 1457664u);
    EXPECT_EQ(sizeOn(3, "\\data.002"), 84672u);
    EXPECT_EQ(*disk(1).contents("\\data.000") + *disk(2).contents("\\data.001") +
                  *disk(3).contents("\\data.002"),
              m_source);
    EXPECT_EQ(disk(3).contents("\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n");
    EXPECT_EQ(m_host.eventsOf("okcancel"),
              (Texts{insertPrompt(1), insertPrompt(2), insertPrompt(3)}));
    EXPECT_EQ(m_host.eventsOf("status"), (Texts{"Splitting file to floppy diskette...", "Ready"}));
    EXPECT_EQ(m_host.eventsOf("busy"), (Texts{"1", "0"}));
    EXPECT_EQ(m_host.eventsOf("progress").back(), "0");
    EXPECT_EQ(m_fs.openFiles(), 0);
    // The source is closed before the descriptor is made.
    const auto log = m_fs.callLog();
    const auto at = [&log](const std::string& call) {
        return std::find(log.begin(), log.end(), call) - log.begin();
    };
    EXPECT_LT(at("close c:\\data.zip"), at("createAlways a:\\data.kpn"));
}

// Reused diskettes may hold an older set of the same name: its descriptor and checksum file
// go from every diskette written, before it is measured, so a join can't meet them; a checksum
// file of another kind stays and is named.
TEST_F(FloppySplitTest, AnOlderSetsDescriptorLeavesEveryDisketteWritten) {
    const std::string digest(64, '0');
    const std::string old = "File Ext=.zip\r\nTotal Files=1\r\nTotal Size=5000\r\n";
    for (int n = 1; n <= 3; ++n) {
        disk(n).putFile("\\data.kpn", old);
    }
    disk(1).putFile("\\data.sha256", digest + "  data.000\n" + digest + "  data.zip\n");
    disk(2).putFile("\\data.sha256", digest + "  notes.txt\n");
    pick(3000000);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(sizeOn(1, "\\data.000"), 1457664u);
    EXPECT_FALSE(disk(1).exists("\\data.kpn"));
    EXPECT_FALSE(disk(1).exists("\\data.sha256"));
    EXPECT_FALSE(disk(2).exists("\\data.kpn"));
    EXPECT_EQ(disk(2).contents("\\data.sha256"), digest + "  notes.txt\n");
    EXPECT_EQ(disk(3).contents("\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n");
    EXPECT_EQ(m_host.eventsOf("note"),
              (Texts{"Kept a:\\data.sha256: it is not a file of this set"}));
}

// A diskette is pulled out right after its prompt: every buffer is on it before then, whatever
// the policy asked for folders.
TEST_F(FloppySplitTest, EveryBufferIsFlushedWhateverThePolicy) {
    pick(100000);
    m_host.inputs.flush = FlushPolicy::Segment;
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_fs.flushCount("a:\\data.000"), 4); // 32767-byte buffers
}

TEST_F(FloppySplitTest, AFullLastDisketteAsksForOneMoreForTheDescriptor) {
    pick(kDiskette);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(disk(1).contents("\\data.000"), m_source);
    EXPECT_EQ(disk(2).listAll(), (Texts{"\\data.kpn 50"}));
    EXPECT_EQ(disk(2).contents("\\data.kpn"),
              "File Ext=.zip\r\nTotal Files=1\r\nTotal Size=1457664\r\n");
    EXPECT_EQ(m_host.eventsOf("okcancel"), (Texts{insertPrompt(1), insertPrompt(2)}));
}

// The descriptor needs 512 bytes: a last diskette with that much left takes it.
TEST_F(FloppySplitTest, TheDescriptorGoesOnTheLastDisketteWhenItHas512BytesLeft) {
    for (const auto& [size, descriptorDisk] :
         {std::pair{kDiskette - 512, 1}, std::pair{kDiskette - 511, 2}}) {
        for (int n = 1; n <= 2; ++n) {
            disk(n).clear();
        }
        m_host.events.clear();
        pick(static_cast<std::size_t>(size));
        EXPECT_EQ(split(), SplitOutcome::Completed) << size;
        EXPECT_TRUE(disk(descriptorDisk).exists("\\data.kpn")) << size;
        EXPECT_EQ(m_host.eventsOf("okcancel").size(), static_cast<std::size_t>(descriptorDisk))
            << size;
    }
}

// A diskette whose test file can't be made or closed is questioned like a missing one.
TEST_F(FloppySplitTest, ADisketteFailingItsTestFileGetsTheNoDisketteQuestion) {
    for (const Fault::Kind kind : {Fault::Kind::CreateFails, Fault::Kind::CloseFails}) {
        disk(1).clear();
        m_host.events.clear();
        m_fs.clearFaults();
        m_fs.addFault({kind, "a:\\data.000", 0, 1});
        pick(1000);
        EXPECT_EQ(split(), SplitOutcome::Completed);
        EXPECT_EQ(m_host.boxes(), (Texts{"okcancel " + insertPrompt(1), "yesno " + kNoDiskette}));
        EXPECT_EQ(disk(1).contents("\\data.000"), m_source);
    }
}

TEST_F(FloppySplitTest, AnUnreadableExtraDisketteCountsAsFull) {
    pick(kDiskette - 100);
    int prompts = 0;
    m_swapOnPrompt = false;
    m_extraOnBox = [&](const std::string& kind, const std::string&) {
        if (kind != "okcancel") {
            return;
        }
        ++prompts;
        if (prompts == 1) {
            m_fs.insertMedium('a', disk(1));
        } else if (prompts == 2) {
            m_fs.setMediumPresent('a', false);
        } else {
            m_fs.insertMedium('a', disk(2));
        }
    };
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.eventsOf("okcancel"),
              (Texts{insertPrompt(1), insertPrompt(2), insertPrompt(2)}));
    EXPECT_TRUE(disk(2).exists("\\data.kpn"));
    EXPECT_EQ(disk(1).contents("\\data.000"), m_source);
}

TEST_F(FloppySplitTest, CancelAtTheFirstPromptWritesNothingAndSaysNothing) {
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 1);
    pick(3000000);
    m_host.answers = {IDCANCEL};
    EXPECT_EQ(split(), SplitOutcome::Cancelled);
    EXPECT_EQ(m_host.boxes(), (Texts{"okcancel " + insertPrompt(1)}));
    EXPECT_TRUE(disk(1).listAll().empty());
    EXPECT_EQ(m_host.events.back(), "status Ready");
    EXPECT_EQ(m_host.eventsOf("busy"), (Texts{"1", "0"}));
    EXPECT_EQ(m_fs.openFiles(), 0);
}

TEST_F(FloppySplitTest, NoDisketteAsksAndYesGoesOnWithoutANewPrompt) {
    pick(1000);
    m_swapOnPrompt = false;
    m_fs.setMediumPresent('a', false);
    m_extraOnBox = [&](const std::string& kind, const std::string&) {
        if (kind == "yesno") {
            m_fs.insertMedium('a', disk(1));
        }
    };
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.boxes(), (Texts{"okcancel " + insertPrompt(1), "yesno " + kNoDiskette}));
    EXPECT_EQ(disk(1).contents("\\data.000"), m_source);
}

TEST_F(FloppySplitTest, NoAtTheNoDisketteQuestionCancels) {
    pick(1000);
    m_swapOnPrompt = false;
    m_fs.setMediumPresent('a', false);
    m_host.answers = {IDOK, IDNO};
    EXPECT_EQ(split(), SplitOutcome::Cancelled);
    EXPECT_EQ(m_host.boxes().size(), 2u);
}

TEST_F(FloppySplitTest, AFullDisketteGetsTheNoSpacePromptThenTheNextOne) {
    pick(1000);
    disk(1).putFile("\\full.bin", std::string(kDiskette, 'f'));
    m_extraOnBox = [&](const std::string& kind, const std::string& text) {
        if (kind == "okcancel" && text == kNoSpace) {
            m_fs.insertMedium('a', disk(2));
        }
    };
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.eventsOf("okcancel"), (Texts{insertPrompt(1), kNoSpace}));
    EXPECT_FALSE(disk(1).exists("\\data.000"));
    EXPECT_EQ(disk(2).contents("\\data.000"), m_source);
}

TEST_F(FloppySplitTest, EachSegmentTakesTheFreeSpaceOrTheErasedDiskette) {
    disk(1).putFile("\\old.txt", std::string(1024 * 1024, 'o'));
    pick(1000000);
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(sizeOn(1, "\\data.000"), static_cast<std::size_t>(kDiskette - 1024 * 1024));
    EXPECT_EQ(*disk(1).contents("\\data.000") + *disk(2).contents("\\data.001"), m_source);
    EXPECT_TRUE(disk(1).exists("\\old.txt"));

    disk(3).createFolder("\\A\\B");
    disk(3).putFile("\\A\\B\\x.bin", std::string(1024 * 1024, 'x'),
                    platform::attr::ReadOnly | platform::attr::Hidden);
    m_host.inputs.eraseDiskettes = true;
    m_swapOnPrompt = false;
    m_extraOnBox = [&](const std::string& kind, const std::string&) {
        if (kind == "okcancel") {
            m_fs.insertMedium('a', disk(3));
        }
    };
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(disk(3).listAll(), (Texts{"\\data.000 1000000", "\\data.kpn 50"}));
    EXPECT_EQ(disk(3).contents("\\data.000"), m_source);
}

TEST_F(FloppySplitTest, ThePauseOfThe95KindIsMeasuredWithTheHostsClock) {
    pick(100000); // four buffers
    m_host.messageTime = std::chrono::milliseconds(100);
    m_host.inputs.pause = DiskettePause::None;
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.messagesProcessed, 4);

    m_host.messagesProcessed = 0;
    m_host.inputs.pause = DiskettePause::Win95;
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.messagesProcessed, 4 * (5 + 1)); // 0.5 s of 100 ms steps, then once more
    EXPECT_EQ(disk(1).contents("\\data.000"), m_source);
}

TEST_F(FloppySplitTest, ADisketteRemovedDuringASegmentEndsTheSplitInOrder) {
    pick(3000000);
    m_fs.addFault({Fault::Kind::MediumVanishes, "a:", 70000, 1});
    EXPECT_EQ(split(), SplitOutcome::Failed);
    const auto errors = m_host.eventsOf("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("The split stopped:\nCan't write a:\\data.000: "));
    EXPECT_EQ(m_fs.openFiles(), 0);
    EXPECT_FALSE(disk(1).exists("\\data.kpn"));
    EXPECT_EQ(m_host.eventsOf("busy"), (Texts{"1", "0"}));
    EXPECT_EQ(m_host.events.back(), "status Ready");
}

TEST_F(FloppySplitTest, NotificationsBeforeEachPromptAndAtTheEnd) {
    WriteSettingInt(keys::kFloppyOptions, keys::kNextDiskettePlaySound, 1);
    WriteSettingText(keys::kFloppyOptions, keys::kNextDisketteSound, "c:\\next.wav");
    WriteSettingInt(keys::kFloppyOptions, keys::kNextDisketteNotifyBy, 1);
    WriteSettingInt(keys::kFloppyOptions, keys::kMinimizeWhileSplitting, 1);
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedPlaySound, 1);
    WriteSettingText(keys::kGeneralOptions, keys::kSplitFinishedSound, "c:\\done.wav");
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 1);
    pick(1000);
    m_host.active = false;
    m_host.flashTicks = 3;
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_EQ(m_host.events, (Texts{"status Splitting file to floppy diskette...", "busy 1",
                                    "sound c:\\next.wav", "flash", "okcancel " + insertPrompt(1),
                                    "minimize", "progress 20", "sound c:\\done.wav", "busy 0",
                                    "info Split complete!", "progress 0", "status Ready"}));
    EXPECT_EQ(m_host.messagesProcessed, 3 + 1); // the flashing wait, then one buffer
    EXPECT_EQ(disk(1).contents("\\data.000"), m_source);
}

TEST_F(FloppySplitTest, FlashingOnlyWhenInTheBackgroundAndSetToOne) {
    pick(1000);
    for (int notifyBy : {0, 2, -1}) {
        WriteSettingInt(keys::kFloppyOptions, keys::kNextDisketteNotifyBy, notifyBy);
        m_host.active = false;
        EXPECT_EQ(split(), SplitOutcome::Completed);
    }
    WriteSettingInt(keys::kFloppyOptions, keys::kNextDisketteNotifyBy, 1);
    m_host.active = true;
    EXPECT_EQ(split(), SplitOutcome::Completed);
    EXPECT_TRUE(m_host.eventsOf("flash").empty());
    EXPECT_EQ(std::count(m_host.events.begin(), m_host.events.end(), "flash"), 0);
}

TEST_F(FloppySplitTest, NoFloppyDriveIsRefused) {
    pick(1000);
    m_host.inputs.floppyDriveAvailable = false;
    EXPECT_EQ(split(), SplitOutcome::Refused);
    EXPECT_EQ(m_host.boxes(), (Texts{"error Cannot split file to floppy diskette because you\n"
                                     "don't have any floppy drives on this system!\n\n"
                                     "If you want to split the file to a hard drive,\n"
                                     "select 'Hard Drive' for the destination."}));
    EXPECT_EQ(m_host.events.back(), "status Ready");
    EXPECT_TRUE(disk(1).listAll().empty());
}

} // namespace
} // namespace dividra::core
