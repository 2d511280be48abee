#include "core/join/Join.h"
#include "JoinFixture.h"
#include "core/set/DescriptorRead.h"
#include "core/transfer/Sha256.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace dividra::core {
namespace {

using platform::DriveType;
using platform::Fault;
using platform::MemoryFileSystem;

TEST(DescriptorReadTest, AcceptedTexts) {
    struct Case {
        const char* text;
        const char* extension;
        int count;
        std::int64_t size;
    };
    for (const Case& c : {
             Case{"File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n", ".zip", 3, 3000000},
             Case{"File Ext=.zip\nTotal Files=3\nTotal Size=3000000\n", ".zip", 3, 3000000},
             Case{"File Ext=\r\nTotal Files=1\r\nTotal Size=1", "", 1, 1},
             Case{"File Ext=.tar gz\nTotal Files=99999\r\nTotal Size=9223372036854775807\r",
                  ".tar gz", 99999, 9223372036854775807},
             Case{"File Ext=.Text\r\nTotal Files=007\r\nTotal Size=7\r\n", ".Text", 7, 7},
             // "file." keeps its dot through the round trip.
             Case{"File Ext=.\r\nTotal Files=1\r\nTotal Size=1\r\n", ".", 1, 1},
         }) {
        const auto read = ReadDescriptorText(c.text);
        ASSERT_TRUE(read.ok()) << c.text << ": " << read.error().message;
        EXPECT_EQ(read.value().extension, c.extension);
        EXPECT_EQ(read.value().segmentCount, c.count);
        EXPECT_EQ(read.value().totalSize, c.size);
    }
}

TEST(DescriptorReadTest, RefusedTextsNameTheLine) {
    const std::string ok1 = "File Ext=.zip\r\n";
    const std::string ok2 = "Total Files=3\r\n";
    const std::string ok3 = "Total Size=3000000\r\n";
    struct Case {
        std::string text;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"", "line 1: \"File Ext=\" expected"},
             {"file ext=.zip\r\n" + ok2 + ok3, "line 1: \"File Ext=\" expected"},
             {ok1 + ok3 + ok2, "line 2: \"Total Files=\" expected"},
             {ok1 + ok2, "line 3: \"Total Size=\" expected"},
             {ok1 + ok2 + ok3 + "\r\n", "line 4: unexpected"},
             {ok1 + ok2 + ok3 + "Extra=1", "line 4: unexpected"},
             {"File Ext=zip\r\n" + ok2 + ok3, "line 1: \"zip\" is no file extension"},
             {"File Ext=.a\\b\r\n" + ok2 + ok3, "line 1: \".a\\b\" is no file extension"},
             {"File Ext=.a\rb\r\n" + ok2 + ok3, "line 1: \".a\rb\" is no file extension"},
             {ok1 + "Total Files=0\r\n" + ok3, "line 2: \"0\" is no segment count from 1 to 99999"},
             {ok1 + "Total Files=100000\r\n" + ok3,
              "line 2: \"100000\" is no segment count from 1 to 99999"},
             {ok1 + "Total Files= 3\r\n" + ok3,
              "line 2: \" 3\" is no segment count from 1 to 99999"},
             {ok1 + "Total Files=+3\r\n" + ok3,
              "line 2: \"+3\" is no segment count from 1 to 99999"},
             {ok1 + ok2 + "Total Size=-5\r\n", "line 3: \"-5\" is no size in bytes"},
             {ok1 + ok2 + "Total Size=9223372036854775808\r\n",
              "line 3: \"9223372036854775808\" is no size in bytes"},
             {ok1 + ok2 + "Total Size=3e6\r\n", "line 3: \"3e6\" is no size in bytes"},
             {ok1 + ok2 + "Total Size=2\r\n", "line 3: 2 bytes can't fill 3 segments"},
         }) {
        const auto read = ReadDescriptorText(c.text);
        ASSERT_FALSE(read.ok()) << c.text;
        EXPECT_EQ(read.error().code, ErrorCode::InvalidArgument);
        EXPECT_EQ(read.error().message, c.message);
    }
}

TEST_F(JoinEngineTest, JoinsThroughATemporaryNameFlushedOnceThenRenamed) {
    const JoinResult result = join();
    ASSERT_EQ(result.outcome, JoinOutcome::Done) << result.message;
    EXPECT_TRUE(fs.contents("c:\\out\\data.zip") == source);
    EXPECT_FALSE(fs.exists("c:\\out\\data.zip.dividra-part"));
    EXPECT_EQ(fs.flushCount("c:\\out\\data.zip.dividra-part"), 1);
    EXPECT_EQ(fs.openFiles(), 0);
    const auto log = fs.callLog("c:\\out\\data.zip");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "renameFile c:\\out\\data.zip");
}

TEST_F(JoinEngineTest, AFailureLeavesNeitherTheOutputNorItsTemporary) {
    for (const Fault::Kind kind : {Fault::Kind::WriteShort, Fault::Kind::WriteFails,
                                   Fault::Kind::ReadFails, Fault::Kind::FlushFails}) {
        const bool onOutput = kind != Fault::Kind::ReadFails;
        fs.addFault({kind, onOutput ? "c:\\out\\data.zip.dividra-part" : "c:\\in\\data.001",
                     kind == Fault::Kind::FlushFails ? 0 : (onOutput ? 1500000 : 500000), 1,
                     ErrorCode::DiskFull});
        const JoinResult result = join();
        EXPECT_EQ(result.outcome, JoinOutcome::Failed) << static_cast<int>(kind);
        EXPECT_EQ(fs.listAll('c').size(), 6u) << result.message; // \IN\, 4 files, \OUT\ only
        EXPECT_EQ(fs.openFiles(), 0);
        fs.clearFaults();
    }
}

TEST_F(JoinEngineTest, AnExistingOutputStaysUnlessForcedAndNeverIsAnInput) {
    fs.putFile("c:\\out\\data.zip", "mine");
    EXPECT_EQ(join().outcome, JoinOutcome::Refused);
    EXPECT_EQ(fs.contents("c:\\out\\data.zip"), "mine");
    EXPECT_EQ(join(true).outcome, JoinOutcome::Done);
    EXPECT_TRUE(fs.contents("c:\\out\\data.zip") == source);
    // A source whose extension is a segment's: its output would be segment 2 itself.
    fs.putFile("c:\\in\\data.kpn", "File Ext=.002\r\nTotal Files=3\r\nTotal Size=2500000\r\n");
    auto set = ExamineJoinSet(fs, "c:\\in\\data.kpn");
    JoinObserver observer;
    const JoinResult same = JoinSegments(fs, set.value(), {"c:\\in", true}, observer);
    EXPECT_EQ(same.outcome, JoinOutcome::Refused);
    EXPECT_EQ(same.message, "Can't create c:\\in\\data.002: it is one of the files being joined");
}

TEST_F(JoinEngineTest, ACancelRemovesTheTemporary) {
    struct Stop final : JoinObserver {
        int parts = 0;
        void progressChanged(int p) override { parts = p; }
        bool cancelRequested() override { return parts >= 5; }
    } stop;
    // Without and with a checksum file: a hashing thread must not hold the end up.
    for (const bool checksums : {false, true}) {
        if (checksums) {
            fs.putFile("c:\\in\\data.sha256", ChecksumText({{std::string(64, 'a'), "data.000"},
                                                            {std::string(64, 'a'), "data.001"},
                                                            {std::string(64, 'a'), "data.002"},
                                                            {std::string(64, 'a'), "data.zip"}}));
        }
        stop.parts = 0;
        auto set = ExamineJoinSet(fs, "c:\\in\\data.kpn");
        ASSERT_EQ(set.value().checksums.empty(), !checksums);
        EXPECT_EQ(JoinSegments(fs, set.value(), {"c:\\out", false}, stop).outcome,
                  JoinOutcome::Cancelled);
        EXPECT_FALSE(fs.exists("c:\\out\\data.zip.dividra-part"));
        EXPECT_FALSE(fs.exists("c:\\out\\data.zip"));
    }
}

// Threads of this process now: a join hashes on one of its own.
std::size_t threadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

TEST_F(JoinEngineTest, OnlyASetWithChecksumsIsHashedAndADifferenceIsNamed) {
    struct Case {
        const char* name;
        bool checksums;
        std::string damage; // segment file to flip a byte of, or "whole" for the source's line
        JoinOutcome outcome;
        std::string message;
    };
    const std::string sums = "c:\\in\\data.sha256";
    for (const Case& c : std::vector<Case>{
             {"no checksum file", false, "", JoinOutcome::Done, ""},
             {"checksums", true, "", JoinOutcome::Done, ""},
             {"segment", true, "c:\\in\\data.001", JoinOutcome::Refused,
              "c:\\in\\data.001: checksum differs from " + sums},
             {"last segment", true, "c:\\in\\data.002", JoinOutcome::Refused,
              "c:\\in\\data.002: checksum differs from " + sums},
             {"whole", true, "whole", JoinOutcome::Refused,
              "The joined file's checksum differs from the line for data.zip in " + sums},
         }) {
        SCOPED_TRACE(c.name);
        (void)fs.deleteFile("c:\\out\\data.zip");
        (void)fs.deleteFile(sums);
        std::vector<ChecksumLine> lines;
        for (int n = 0; n < 3; ++n) {
            const std::string name = "data.00" + std::to_string(n);
            lines.push_back({Sha256Hex(*fs.contents("c:\\in\\" + name)), name});
        }
        lines.push_back({Sha256Hex(c.damage == "whole" ? "other" : source), "data.zip"});
        if (c.checksums) {
            fs.putFile(sums, ChecksumText(lines));
        }
        const std::string original = c.damage.starts_with("c:") ? *fs.contents(c.damage) : "";
        if (!original.empty()) {
            fs.putFile(c.damage, std::string(original).replace(1000, 1, "!"));
        }
        struct Watch final : JoinObserver {
            std::size_t threads = 0;
            void progressChanged(int) override { threads = std::max(threads, threadCount()); }
        } watch;
        const std::size_t before = threadCount();
        auto set = ExamineJoinSet(fs, "c:\\in\\data.kpn");
        const JoinResult result = JoinSegments(fs, set.value(), {"c:\\out", false}, watch);
        EXPECT_EQ(result.outcome, c.outcome) << result.message;
        if (c.outcome == JoinOutcome::Refused) {
            EXPECT_EQ(result.message, c.message);
            EXPECT_FALSE(fs.exists("c:\\out\\data.zip"));
        }
        EXPECT_FALSE(fs.exists("c:\\out\\data.zip.dividra-part"));
        EXPECT_EQ(watch.threads, before + (c.checksums ? 1 : 0));
        if (!original.empty()) {
            fs.putFile(c.damage, original);
        }
    }
}

} // namespace
} // namespace dividra::core

namespace dividra::core {
namespace {

TEST(ChecksumFileTest, ReadsWhatSha256sumReadsAndRefusesTheRest) {
    const std::string digest(64, 'a');
    const std::string upper(64, 'B');
    const auto read = ReadChecksumText(digest + "  data.000\r\n" + upper + " *data.zip");
    ASSERT_TRUE(read.ok()) << read.error().message;
    ASSERT_EQ(read.value().size(), 2u);
    EXPECT_EQ(read.value()[1].digest, std::string(64, 'b'));
    EXPECT_EQ(read.value()[1].name, "data.zip");
    EXPECT_EQ(ChecksumText(read.value()),
              digest + "  data.000\n" + std::string(64, 'b') + "  data.zip\n");
    for (const std::string& bad :
         {std::string(), digest + "  data.000\n\n", digest + " data.000", digest + "  ",
          digest.substr(1) + "  data.000", std::string(64, 'g') + "  data.000",
          digest + "  dir/data.000", digest + "  a\tb", "\\" + digest + "  data.000"}) {
        const auto refused = ReadChecksumText(bad);
        EXPECT_FALSE(refused.ok()) << bad;
    }
    EXPECT_EQ(ReadChecksumText(digest + "  a\nx").error().message,
              "line 2: a SHA-256 digest, two blanks and a file name expected");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(ChecksumFileTest, ASmallFileIsReadWholeUpToItsLimit) {
    MemoryFileSystem fs;
    fs.addDrive('c', DriveType::Fixed, 64 << 20);
    struct Case {
        std::size_t size;
        std::size_t limit;
        bool read;
    };
    // Around the limit, and across the 64 KB pieces it is read in.
    for (const Case& c :
         {Case{0, 10, true}, Case{10, 10, true}, Case{11, 10, false}, Case{200000, 200000, true},
          Case{200001, 200000, false}, Case{65536, 65536, true}, Case{65537, 65536, false},
          Case{3000, 40000000, true}}) {
        const std::string bytes = test::PatternBytes(c.size);
        fs.putFile("c:\\sums", bytes);
        const auto read = ReadSmallFile(fs, "c:\\sums", c.limit);
        ASSERT_EQ(read.ok(), c.read) << c.size << " of " << c.limit;
        if (c.read) {
            EXPECT_TRUE(read.value() == bytes) << c.size;
        } else {
            EXPECT_EQ(read.error().message,
                      "c:\\sums: larger than " + std::to_string(c.limit) + " bytes");
        }
    }
}

} // namespace
} // namespace dividra::core
