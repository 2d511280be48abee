#include "MemoryCliFixture.h"
#include "SplitCliFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/TestBytes.h"

#include <algorithm>

#include <gtest/gtest.h>

// dividra-cli split onto a diskette in memory: the prompts, their answers and the options.
namespace dividra::cli {
namespace {

class DisketteSplitCliTest : public MemoryCliTest {
protected:
    std::string source(const std::string& bytes) {
        m_fs.putFile("c:\\notes.txt", bytes);
        return "/mem/c/notes.txt";
    }
    std::vector<std::string> names() const {
        auto found = onDiskette();
        std::sort(found.begin(), found.end());
        return found;
    }
};

TEST_F(DisketteSplitCliTest, FloppySplitAsksForEachDiskette) {
    WriteSettingInt(keys::kGeneralOptions, keys::kSplitFinishedNotifyBy, 1);
    const std::string bytes = dividra::test::PatternBytes(1000);
    const Outcome outcome = split({source(bytes), "--floppy", "A:"}, "\n");
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_EQ(outcome.out, "Split complete!\n");
    EXPECT_EQ(outcome.err, kInsertFirst);
    EXPECT_TRUE(m_fs.contents("a:\\notes.000") == bytes);
    EXPECT_EQ(m_fs.contents("a:\\notes.kpn"),
              "File Ext=.txt\r\nTotal Files=1\r\nTotal Size=1000\r\n");
}

TEST_F(DisketteSplitCliTest, PromptAnswersFromStandardInput) {
    const std::string path = source(dividra::test::PatternBytes(1000));
    struct Case {
        const char* input;
        int status;
        std::string err;
    };
    // The question comes again, the bracket line after it.
    const std::string again = "Please answer ok or cancel.\n" + kInsertFirst;
    for (const Case& c :
         {Case{"", kExitCancelled, kInsertFirst}, Case{"c\n", kExitCancelled, kInsertFirst},
          Case{"x\n", kExitCancelled, kInsertFirst + again},
          Case{"x\nyes\n OK \n", kExitOk, kInsertFirst + again + again}}) {
        m_diskette->clear();
        const Outcome outcome = split({path, "--floppy", "a:"}, c.input);
        EXPECT_EQ(outcome.status, c.status) << c.input;
        EXPECT_EQ(outcome.out, "") << c.input;
        EXPECT_EQ(outcome.err, c.err) << c.input;
        EXPECT_EQ(names().size(), c.status == kExitOk ? 2u : 0u) << c.input;
    }
}

TEST_F(DisketteSplitCliTest, EraseFollowsTheSettingUnlessGiven) {
    WriteSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 1);
    const std::string path = source("abc");
    m_fs.putFile("a:\\old.txt", "old");
    ASSERT_EQ(split({path, "--floppy", "a:", "--no-erase"}, "\n").status, kExitOk);
    EXPECT_EQ(names(), (std::vector<std::string>{"notes.000", "notes.kpn", "old.txt"}));
    ASSERT_EQ(split({path, "--floppy", "a:"}, "\n").status, kExitOk);
    EXPECT_EQ(names(), (std::vector<std::string>{"notes.000", "notes.kpn"}));
}

} // namespace
} // namespace dividra::cli
