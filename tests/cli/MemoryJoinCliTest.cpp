#include "MemoryCliFixture.h"
#include "core/transfer/Sha256.h"
#include "support/TestBytes.h"

#include <functional>

#include <gtest/gtest.h>

// dividra-cli join and verify over drives in memory, against sets that dividra-cli split made.
namespace dividra::cli {
namespace {

constexpr const char* kOut = "/mem/c/out/";

class MemoryJoinCliTest : public MemoryCliTest {
protected:
    // Splits a source of `size` bytes named `name` into c:\out, emptied first.
    void splitSource(const std::string& name, std::size_t size,
                     const std::vector<std::string>& options) {
        for (const std::string& old : namesIn("out")) {
            (void)m_fs.deleteFile("c:\\out\\" + old);
        }
        m_fs.createFolder("c:\\out");
        m_source = dividra::test::PatternBytes(size);
        m_fs.putFile("c:\\" + name, m_source);
        std::vector<std::string> line{"/mem/c/" + name, "--to", "/mem/c/out"};
        line.insert(line.end(), options.begin(), options.end());
        const Outcome outcome = split(line);
        ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
        (void)m_fs.deleteFile("c:\\" + name);
    }
    void put(const std::string& name, const std::string& bytes) {
        (void)m_fs.deleteFile("c:\\out\\" + name);
        m_fs.putFile("c:\\out\\" + name, bytes);
    }
    bool joinedIs(const std::string& path) const { return m_fs.contents(path) == m_source; }

    std::string m_source;
};

TEST_F(MemoryJoinCliTest, RoundTripsForEverySegmentSize) {
    struct Case {
        std::string name;
        std::size_t size;
        std::vector<std::string> options;
        std::string descriptor; // in out/
        std::string joined;     // in joined/
    };
    const std::vector<Case> cases = {
        {"data.zip", 3000000, {"--size", "1420"}, "data.kpn", "data.zip"},
        {"data.zip", 3000000, {"--size", "1180"}, "data.kpn", "data.zip"},
        {"data.zip", 3000000, {"--size", "710"}, "data.kpn", "data.zip"},
        {"data.zip", 3000000, {"--size", "350"}, "data.kpn", "data.zip"},
        {"data.zip", 300000, {"--size", "64K"}, "data.kpn", "data.zip"},
        {"one.bin", 1, {"--size", "1"}, "one.kpn", "one.bin"},
        {"edge", 999 * 1024, {"--size", "1"}, "edge.kpn", "edge"},
        {"Annual Report.text",
         5000,
         {"--size", "1", "--dos-names"},
         "ANNUAL~1.kpn",
         "ANNUAL~1.text"},
    };
    for (const Case& c : cases) {
        splitSource(c.name, c.size, c.options);
        for (const std::string& old : namesIn("joined")) {
            (void)m_fs.deleteFile("c:\\joined\\" + old);
        }
        m_fs.createFolder("c:\\joined");
        const std::string descriptor = kOut + c.descriptor;
        const Outcome verified = cli({"verify", descriptor});
        EXPECT_EQ(verified.status, kExitOk) << c.name << verified.out;
        EXPECT_TRUE(verified.out.ends_with("The set is whole.\n")) << verified.out;
        const Outcome joined = cli({"join", descriptor, "--to", "/mem/c/joined"});
        EXPECT_EQ(joined.status, kExitOk) << c.name << " " << joined.err;
        EXPECT_EQ(joined.err, "");
        EXPECT_TRUE(joined.out.starts_with("Joined ")) << joined.out;
        EXPECT_EQ(namesIn("joined"), std::vector<std::string>{c.joined}) << c.name;
        EXPECT_TRUE(joinedIs("c:\\joined\\" + c.joined)) << c.name;
    }
}

TEST_F(MemoryJoinCliTest, DamagedSetsAreRefusedNamingTheSegment) {
    const std::string out = kOut;
    const std::string ok3 = "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n";
    struct Case {
        std::string what;
        std::function<void()> damage;
        std::string refusal;   // a line of stderr
        std::string verifyOut; // a line of verify's stdout
    };
    const std::vector<Case> cases = {
        {"missing", [&] { (void)m_fs.deleteFile("c:\\out\\data.001"); },
         "dividra-cli: c:\\out\\data.001 (" + out + "data.001): missing", "data.001: missing"},
        {"truncated", [&] { put("data.000", m_source.substr(0, 1000)); },
         "dividra-cli: c:\\out\\data.000 (" + out +
             "data.000): wrong size: 1000 bytes, "
             "1454080 expected",
         "data.000: wrong size: 1000 bytes, 1454080 expected"},
        {"longer last", [&] { put("data.002", std::string(91841, 'x')); },
         "wrong size: 91841 bytes, 91840 expected", "data.002: wrong size: 91841 bytes"},
        {"a folder",
         [&] {
             (void)m_fs.deleteFile("c:\\out\\data.002");
             m_fs.createFolder("c:\\out\\data.002");
         },
         "dividra-cli: Can't read c:\\out\\data.002", "data.002: can't be read"},
        {"wrong count",
         [&] { put("data.kpn", "File Ext=.zip\r\nTotal Files=4\r\nTotal Size=3000000\r\n"); },
         "c:\\out\\data.003 (" + out + "data.003): missing", "data.003: missing"},
        {"wrong size",
         [&] { put("data.kpn", "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000001\r\n"); },
         "data.002 (" + out + "data.002): wrong size: 91840 bytes, 91841 expected",
         "The segments found hold 3000000 bytes; 3000001 expected"},
        {"fourth line", [&] { put("data.kpn", ok3 + "Total Time=1\r\n"); },
         "dividra-cli: c:\\out\\data.kpn (" + out + "data.kpn): line 4: unexpected", ""},
    };
    for (const Case& c : cases) {
        (void)m_fs.removeFolder("c:\\out\\data.002");
        splitSource("data.zip", 3000000, {"--size", "1420"});
        c.damage();
        const Outcome joined = cli({"join", out + "data.kpn"});
        EXPECT_EQ(joined.status, kExitFailed) << c.what;
        EXPECT_NE(joined.err.find(c.refusal), std::string::npos) << c.what << ": " << joined.err;
        EXPECT_FALSE(m_fs.exists("c:\\out\\data.zip")) << c.what;
        EXPECT_FALSE(m_fs.exists("c:\\out\\data.zip.dividra-part")) << c.what;
        const Outcome verified = cli({"verify", out + "data.kpn"});
        EXPECT_EQ(verified.status, kExitFailed) << c.what;
        EXPECT_NE(verified.out.find(c.verifyOut), std::string::npos) << c.what << verified.out;
    }
}

// A descriptor's line is echoed in the refusal: its control bytes must not reach the terminal.
TEST_F(MemoryJoinCliTest, ControlBytesOfADescriptorAreShownEscaped) {
    m_fs.createFolder("c:\\out");
    put("data.kpn", "File Ext=\x1b[31m\r\nTotal Files=1\r\nTotal Size=3\r\n");
    for (const char* command : {"join", "verify"}) {
        const Outcome outcome = cli({command, std::string(kOut) + "data.kpn"});
        EXPECT_EQ(outcome.status, kExitFailed) << command;
        EXPECT_EQ(outcome.err, "dividra-cli: c:\\out\\data.kpn (" + std::string(kOut) +
                                   "data.kpn): line 1: \"\\x1b[31m\" is no file extension\n")
            << command;
    }
}

TEST_F(MemoryJoinCliTest, StaleSegmentsAreIgnoredAndMentioned) {
    splitSource("data.zip", 3000000, {"--size", "1420"});
    put("data.003", "stale");
    put("data.1000", "stale too");
    const std::string out = kOut;
    const Outcome joined = cli({"join", out + "data.kpn"});
    EXPECT_EQ(joined.status, kExitOk) << joined.err;
    EXPECT_NE(joined.out.find("Ignored c:\\out\\data.003 (" + out +
                              "data.003): not one of the 3 segments of c:\\out\\data.kpn"),
              std::string::npos)
        << joined.out;
    EXPECT_NE(joined.out.find("Ignored c:\\out\\data.1000"), std::string::npos);
    EXPECT_TRUE(joinedIs("c:\\out\\data.zip"));
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitOk);
    EXPECT_NE(verified.out.find("data.003: not one of the 3 segments; ignored\n"),
              std::string::npos);
}

TEST_F(MemoryJoinCliTest, AnExistingOutputIsReplacedOnlyWithForce) {
    splitSource("data.zip", 3000, {"--size", "1"});
    const std::string out = kOut;
    put("data.zip", "mine");
    const Outcome refused = cli({"join", out + "data.kpn"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_EQ(refused.err, "dividra-cli: c:\\out\\data.zip (" + out +
                               "data.zip): already exists; give --force to replace it\n");
    EXPECT_EQ(m_fs.contents("c:\\out\\data.zip"), "mine");
    EXPECT_EQ(cli({"join", out + "data.kpn", "--force"}).status, kExitOk);
    EXPECT_TRUE(joinedIs("c:\\out\\data.zip"));
}

TEST_F(MemoryJoinCliTest, AFullDriveGetsNothingUnderTheFinalName) {
    splitSource("data.zip", 3000000, {"--size", "1420"});
    const Outcome joined = cli({"join", std::string(kOut) + "data.kpn", "--to", "/mem/d"});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_NE(joined.err.find("Not enough room for d:\\data.zip"), std::string::npos) << joined.err;
    EXPECT_EQ(m_fs.listAll('d'), std::vector<std::string>{});
}

// The checksum file is read back against the segments; sha256sum's reading is the real-folder
// test's.
TEST_F(MemoryJoinCliTest, ChecksumsAreWrittenAndHeldAgainstTheSegments) {
    splitSource("data.zip", 3000000, {"--size", "1420", "--checksums"});
    const std::string out = kOut;
    std::string expected;
    for (const char* name : {"data.000", "data.001", "data.002"}) {
        expected +=
            core::Sha256Hex(*m_fs.contents("c:\\out\\" + std::string(name))) + "  " + name + "\n";
    }
    EXPECT_EQ(m_fs.contents("c:\\out\\data.sha256"),
              expected + core::Sha256Hex(m_source) + "  data.zip\n");
    EXPECT_EQ(cli({"verify", out + "data.kpn"}).status, kExitOk);
    std::string flipped = *m_fs.contents("c:\\out\\data.001");
    flipped[1000] = static_cast<char>(flipped[1000] ^ 1);
    put("data.001", flipped);
    const Outcome joined = cli({"join", out + "data.kpn"});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_EQ(joined.err, "dividra-cli: c:\\out\\data.001 (" + out +
                              "data.001): checksum differs from c:\\out\\data.sha256 (" + out +
                              "data.sha256)\n");
    EXPECT_EQ(namesIn("out"), (std::vector<std::string>{"data.000", "data.001", "data.002",
                                                        "data.kpn", "data.sha256"}));
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitFailed);
    EXPECT_NE(verified.out.find("data.001: checksum differs\n"), std::string::npos);
    // Without --checksums no checksum file is written.
    splitSource("data.zip", 3000, {"--size", "1"});
    EXPECT_FALSE(m_fs.exists("c:\\out\\data.sha256"));
}

TEST_F(MemoryJoinCliTest, AJoinRebuildsLostSegmentsAsideAndLeavesTheSetAsItWas) {
    splitSource("data.zip", 3000000, {"--size", "1420", "--recovery", "2"});
    (void)m_fs.deleteFile("c:\\out\\data.001");
    std::string damaged = *m_fs.contents("c:\\out\\data.002");
    damaged[5] = static_cast<char>(damaged[5] ^ 1);
    put("data.002", damaged);
    const std::vector<std::string> set = m_fs.listAll('c');
    m_fs.createFolder("c:\\joined");
    const std::string descriptor = std::string(kOut) + "data.kpn";
    const Outcome joined = cli({"join", descriptor, "--to", "/mem/c/joined"});
    EXPECT_EQ(joined.status, kExitOk) << joined.err;
    const std::string rebuilt = " from the recovery files for the join; the set stays as it was\n";
    EXPECT_EQ(joined.out, "Rebuilt data.001" + rebuilt + "Rebuilt data.002" + rebuilt +
                              "Joined 3 segments into c:\\joined\\data.zip (/mem/c/joined/"
                              "data.zip), 3000000 bytes.\n");
    EXPECT_EQ(namesIn("joined"), std::vector<std::string>{"data.zip"});
    EXPECT_TRUE(joinedIs("c:\\joined\\data.zip"));
    // One more lost than the recovery files hold: refused, and nothing new anywhere.
    (void)m_fs.deleteFile("c:\\out\\data.000");
    const Outcome refused = cli({"join", descriptor, "--to", "/mem/c/joined", "--force"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_EQ(refused.err, "dividra-cli: c:\\out\\data.kpn (" + descriptor +
                               "): segments are lost or damaged and can't be rebuilt: 3 slices "
                               "must be rebuilt and the recovery files hold 2\n");
    EXPECT_EQ(namesIn("joined"), std::vector<std::string>{"data.zip"});
    EXPECT_EQ(m_fs.contents("c:\\out\\data.002"), damaged);
    EXPECT_EQ(m_fs.listAll('c').size(), set.size() - 1 + 2); // data.000 gone; joined\ and its file
}

TEST_F(MemoryJoinCliTest, UsageComplaints) {
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
    };
    for (const Case& c : std::vector<Case>{
             {{"join"}, "join: missing DESCRIPTOR file"},
             {{"join", "a.kpn", "b.kpn"}, "join: unexpected argument \"b.kpn\""},
             {{"join", "a.kpn", "--fast"}, "join: unknown option \"--fast\""},
             {{"join", "a.kpn", "--force", "--force"}, "join: --force given twice"},
             {{"verify"}, "verify: missing DESCRIPTOR file"},
             {{"verify", "a.kpn", "--force"}, "verify: unknown option \"--force\""},
         }) {
        const Outcome outcome = cli(c.arguments);
        EXPECT_EQ(outcome.status, kExitBadInput) << c.line;
        EXPECT_EQ(outcome.err, "dividra-cli: " + c.line + "\n");
    }
    const Outcome missing = cli({"join", "/mem/c/none.kpn"});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_EQ(missing.err, "dividra-cli: c:\\none.kpn (/mem/c/none.kpn): no such file\n");
}

} // namespace
} // namespace dividra::cli
