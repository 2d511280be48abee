#include "MemoryCliFixture.h"
#include "SplitCliFixture.h"
#include "cli/SplitCommandLine.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/TestBytes.h"

#include <algorithm>

#include <gtest/gtest.h>

// dividra-cli split over drives in memory: the request a command line gives, and onto a
// diskette the prompts, their answers and the options.
namespace dividra::cli {
namespace {

using core::FlushPolicy;
constexpr std::int64_t kGiga = std::int64_t{1} << 30;

class MemorySplitCliTest : public MemoryCliTest {
protected:
    std::string source(const std::string& bytes) {
        m_fs.putFile("c:\\notes.txt", bytes);
        return "/mem/c/notes.txt";
    }
    Result<core::SplitRequest> inputsFrom(const std::vector<std::string>& arguments) {
        return SplitInputsFromArguments(arguments, CliContext{m_drives, m_fs, std::nullopt, true});
    }
    std::vector<std::string> names() const {
        auto found = onDiskette();
        std::sort(found.begin(), found.end());
        return found;
    }
};

TEST_F(MemorySplitCliTest, FloppySplitAsksForEachDiskette) {
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

TEST_F(MemorySplitCliTest, PromptAnswersFromStandardInput) {
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

TEST_F(MemorySplitCliTest, EraseFollowsTheSettingUnlessGiven) {
    WriteSettingInt(keys::kFloppyOptions, keys::kEraseDiskettes, 1);
    const std::string path = source("abc");
    m_fs.putFile("a:\\old.txt", "old");
    ASSERT_EQ(split({path, "--floppy", "a:", "--no-erase"}, "\n").status, kExitOk);
    EXPECT_EQ(names(), (std::vector<std::string>{"notes.000", "notes.kpn", "old.txt"}));
    ASSERT_EQ(split({path, "--floppy", "a:"}, "\n").status, kExitOk);
    EXPECT_EQ(names(), (std::vector<std::string>{"notes.000", "notes.kpn"}));
}

// A folder split forces each segment once by default; diskettes always every buffer.
TEST_F(MemorySplitCliTest, TheFlushPolicyAndSizeEachCommandLineGives) {
    m_fs.createFolder("c:\\out");
    m_fs.putFile("c:\\data.zip", dividra::test::PatternBytes(3000));
    const std::string source = "/mem/c/data.zip";
    const std::string out = "/mem/c/out";
    struct Row {
        std::vector<std::string> options;
        FlushPolicy flush;
        std::int64_t segmentBytes;
        const char* sizeShown;
        std::int64_t count;
    };
    const Row rows[] = {
        {{"--to", out}, FlushPolicy::Segment, 1454080, "1420", 1},
        {{"--to", out, "--flush=segment"}, FlushPolicy::Segment, 1454080, "1420", 1},
        {{"--to", out, "--flush", "buffer"}, FlushPolicy::Buffer, 1454080, "1420", 1},
        {{"--to", out, "--size", "1G"}, FlushPolicy::Segment, kGiga, "1048576", 1},
        {{"--to", out, "--size", "1k"}, FlushPolicy::Segment, 1024, "1", 3},
        {{"--to", out, "--pieces", "7"}, FlushPolicy::Segment, 429, "429", 7},
        {{"--floppy", "a:"}, FlushPolicy::Buffer, 1454080, "1420", 1},
        {{"--floppy", "a:", "--flush=buffer"}, FlushPolicy::Buffer, 1454080, "1420", 1},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments{source};
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        const auto inputs = inputsFrom(arguments);
        ASSERT_TRUE(inputs.ok()) << inputs.error().message;
        EXPECT_EQ(inputs.value().flush, row.flush) << row.options.back();
        EXPECT_EQ(inputs.value().segmentBytes, row.segmentBytes) << row.options.back();
        EXPECT_EQ(inputs.value().segmentSizeShown, row.sizeShown) << row.options.back();
        EXPECT_EQ(inputs.value().segmentCount, row.count) << row.options.back();
        EXPECT_TRUE(inputs.value().largeSources);
    }
}

} // namespace
} // namespace dividra::cli
