#include "JoinFixture.h"
#include "core/set/ChecksumFile.h"
#include "core/transfer/Sha256.h"

#include <gtest/gtest.h>

// What a join must never do: take a wrong set for a whole one, write through a name that was
// there, or leave anything behind when it doesn't finish.
namespace dividra::core {
namespace {

using platform::Fault;

const std::string kDescriptor = "c:\\in\\data.kpn";

void putSet(platform::MemoryFileSystem& fs, const std::string& source,
            const std::vector<std::size_t>& sizes) {
    std::size_t at = 0;
    for (std::size_t n = 0; n < sizes.size(); ++n) {
        fs.putFile("c:\\in\\data.00" + std::to_string(n), source.substr(at, sizes[n]));
        at += sizes[n];
    }
    fs.putFile(kDescriptor, "File Ext=.zip\r\nTotal Files=" + std::to_string(sizes.size()) +
                                "\r\nTotal Size=" + std::to_string(source.size()) + "\r\n");
}

// Diskettes of any kind, with other files on them, give segments of any size: the sum decides.
// Only when it differs is a segment of a folder split's shape named.
TEST_F(JoinEngineTest, SegmentsMayDifferInSizeTheSumDecides) {
    struct Case {
        std::vector<std::size_t> sizes;
        std::int64_t total;
        std::string problem; // empty: joins
    };
    for (const Case& c : std::vector<Case>{
             {{1466368, 1474560, 559072}, 3500000, ""},
             {{1474560, 737280, 788160}, 3000000, ""},
             {{1000000, 1000000, 500000}, 2500000, ""},
             {{1000000, 1000000, 999999, 500000},
              3500000,
              "c:\\in\\data.002: wrong size: 999999 bytes, 1000000 expected"},
             {{1000000, 999999, 500000},
              2500000,
              "The segments hold 2499999 bytes; c:\\in\\data.kpn says 2500000"},
             {{1466368, 1474560, 559071},
              3500000,
              "The segments hold 3499999 bytes; c:\\in\\data.kpn says 3500000"},
         }) {
        SCOPED_TRACE(c.total);
        source = test::PatternBytes(static_cast<std::size_t>(c.total));
        putSet(fs, source, c.sizes);
        (void)fs.deleteFile("c:\\out\\data.zip");
        const JoinResult result = join();
        const std::string count = std::to_string(c.sizes.size());
        EXPECT_EQ(result.message, c.problem.empty()
                                      ? "Joined " + count + " segments into c:\\out\\data.zip, " +
                                            std::to_string(c.total) + " bytes."
                                      : c.problem);
        EXPECT_EQ(fs.exists("c:\\out\\data.zip"), c.problem.empty());
        if (c.problem.empty()) {
            EXPECT_TRUE(fs.contents("c:\\out\\data.zip") == source);
        }
    }
}

// The temporary is written beside the output it replaces: only what is free meanwhile counts.
TEST_F(JoinEngineTest, TheRoomCheckCountsWhatIsFreeBesideTheOldOutput) {
    struct Case {
        std::int64_t oldOutput; // bytes of the output there before; 0: none
        std::int64_t free;      // beside it
        bool joins;
    };
    int drive = 0;
    for (const Case& c : {Case{0, 2500000, true}, Case{0, 2499999, false},
                          Case{1000, 2500000, true}, Case{1000, 2499999, false}}) {
        const char letter = static_cast<char>('d' + drive++);
        platform::Medium& out =
            fs.addDrive(letter, platform::DriveType::Fixed, c.oldOutput + c.free);
        out.setClusterSize(1);
        const std::string output = std::string(1, letter) + ":\\data.zip";
        if (c.oldOutput > 0) {
            fs.putFile(output, std::string(static_cast<std::size_t>(c.oldOutput), 'o'));
        }
        auto set = ExamineJoinSet(fs, kDescriptor);
        JoinObserver observer;
        const JoinResult result =
            JoinSegments(fs, set.value(), {std::string(1, letter) + ":\\", true}, observer);
        SCOPED_TRACE(result.message);
        EXPECT_EQ(result.outcome, c.joins ? JoinOutcome::Done : JoinOutcome::Refused);
        if (!c.joins) {
            EXPECT_EQ(result.message,
                      "Not enough room for " + output + ": 2500000 bytes needed, 2499999 free");
        }
        EXPECT_EQ(fs.contents(output).value_or("").size(),
                  static_cast<std::size_t>(c.joins ? 2500000 : c.oldOutput));
        EXPECT_EQ(fs.listAll(letter).size(), c.joins || c.oldOutput > 0 ? 1u : 0u);
    }
}

// After the check a segment is opened again; a size changed meanwhile writes nothing, and a
// read that ends early is named with the bytes it gave. A short read alone is no end.
TEST_F(JoinEngineTest, ASegmentThatChangesOrEndsEarlyWritesNothing) {
    struct Case {
        const char* what;
        std::optional<std::string> replacement; // data.001 after the check
        std::optional<Fault> fault;
        std::string message; // empty: joins
    };
    const std::string seg = source.substr(1000000, 1000000);
    for (const Case& c : std::vector<Case>{
             {"grows", seg + "x", std::nullopt, "c:\\in\\data.001: changed since it was checked"},
             {"shrinks", seg.substr(1), std::nullopt,
              "c:\\in\\data.001: changed since it was checked"},
             {"reads short once", std::nullopt,
              Fault{Fault::Kind::ReadShort, "c:\\in\\data.001", 300000, 1}, ""},
             {"ends early", std::nullopt,
              Fault{Fault::Kind::ReadShort, "c:\\in\\data.001", 300000, -1},
              "Can't read c:\\in\\data.001: it ended after 300000 of 1000000 bytes"},
         }) {
        SCOPED_TRACE(c.what);
        auto set = ExamineJoinSet(fs, kDescriptor);
        if (c.replacement) {
            fs.putFile("c:\\in\\data.001", *c.replacement);
        }
        if (c.fault) {
            fs.addFault(*c.fault);
        }
        JoinObserver observer;
        const JoinResult result = JoinSegments(fs, set.value(), {"c:\\out", false}, observer);
        fs.clearFaults();
        fs.putFile("c:\\in\\data.001", seg);
        EXPECT_EQ(result.outcome, c.message.empty() ? JoinOutcome::Done : JoinOutcome::Failed);
        if (c.message.empty()) {
            EXPECT_TRUE(fs.contents("c:\\out\\data.zip") == source);
            (void)fs.deleteFile("c:\\out\\data.zip");
        } else {
            EXPECT_EQ(result.message, c.message);
        }
        EXPECT_EQ(fs.listAll('c').back(), "\\out\\"); // and nothing in it
        EXPECT_EQ(fs.openFiles(), 0);
    }
}

// A checksum file that doesn't hold a line per segment and one for the whole is no checksum
// file of the set: join and verify, which both examine the set first, refuse it.
TEST_F(JoinEngineTest, AChecksumFileWithALineTooManyOrTooFewIsRefused) {
    const std::string line = std::string(64, 'a') + "  ";
    for (const auto& [text, count] :
         {std::pair{line + "data.000\n" + line + "data.001\n" + line + "data.zip\n", 3},
          std::pair{line + "data.000\n" + line + "data.001\n" + line + "data.002\n" + line +
                        "data.zip\n" + line + "data.zip\n",
                    5}}) {
        fs.putFile("c:\\in\\data.sha256", text);
        const auto set = ExamineJoinSet(fs, kDescriptor);
        ASSERT_FALSE(set.ok());
        EXPECT_EQ(set.error().message, "c:\\in\\data.sha256: " + std::to_string(count) +
                                           " lines; 4 expected, one per segment and one for "
                                           "the whole file");
    }
}

// A name there already may be a link to a file of the user's: the temporary takes a fresh one,
// and a rename that fails at the end leaves nothing of the join's.
TEST_F(JoinEngineTest, TheTemporaryIsAlwaysAFreshFile) {
    fs.putFile("c:\\out\\data.zip.dividra-part", "precious");
    fs.putFile("c:\\out\\data.zip.1.dividra-part", "mine too");
    ASSERT_EQ(join().outcome, JoinOutcome::Done);
    EXPECT_TRUE(fs.contents("c:\\out\\data.zip") == source);
    EXPECT_EQ(fs.contents("c:\\out\\data.zip.dividra-part"), "precious");
    EXPECT_EQ(fs.contents("c:\\out\\data.zip.1.dividra-part"), "mine too");
    EXPECT_EQ(fs.callLog("c:\\out\\data.zip.2.dividra-part").front(),
              "createNew c:\\out\\data.zip.2.dividra-part");
    EXPECT_FALSE(fs.exists("c:\\out\\data.zip.2.dividra-part"));

    // An output held open can't be replaced: the join fails, the old bytes stay.
    auto held = fs.openRead("c:\\out\\data.zip");
    const JoinResult blocked = join(true);
    EXPECT_EQ(blocked.outcome, JoinOutcome::Failed) << blocked.message;
    EXPECT_TRUE(blocked.message.starts_with("Can't rename c:\\out\\data.zip.2.dividra-part to "))
        << blocked.message;
    EXPECT_FALSE(fs.exists("c:\\out\\data.zip.2.dividra-part"));
    EXPECT_TRUE(fs.contents("c:\\out\\data.zip") == source);
}

} // namespace
} // namespace dividra::core
