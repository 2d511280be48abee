#include "JoinCliFixture.h"
#include "core/transfer/Sha256.h"

#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

namespace dividra::cli {
namespace {

using test::TempDir;

TEST_F(JoinCliTest, RoundTripsForEverySegmentSize) {
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
        fs::remove_all(m_dir.file("out"));
        fs::remove_all(m_dir.file("joined"));
        fs::create_directories(m_dir.file("out"));
        fs::create_directories(m_dir.file("joined"));
        splitSource(c.name, c.size, c.options);
        const std::string descriptor = m_dir.file("out/" + c.descriptor);
        const Outcome verified = cli({"verify", descriptor});
        EXPECT_EQ(verified.status, kExitOk) << c.name << verified.out;
        EXPECT_TRUE(verified.out.ends_with("The set is whole.\n")) << verified.out;
        const Outcome joined = cli({"join", descriptor, "--to", m_dir.file("joined")});
        EXPECT_EQ(joined.status, kExitOk) << c.name << " " << joined.err;
        EXPECT_EQ(joined.err, "");
        EXPECT_TRUE(joined.out.starts_with("Joined ")) << joined.out;
        EXPECT_EQ(names("joined"), std::vector<std::string>{c.joined}) << c.name;
        EXPECT_TRUE(TempDir::read(m_dir.file("joined/" + c.joined)) == m_source) << c.name;
    }
}

TEST_F(JoinCliTest, DamagedSetsAreRefusedNamingTheSegment) {
    const std::string out = m_dir.file("out/");
    const std::string ok3 = "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000000\r\n";
    struct Case {
        std::string what;
        std::function<void()> damage;
        std::string refusal;   // a line of stderr
        std::string verifyOut; // a line of verify's stdout
    };
    const std::vector<Case> cases = {
        {"missing", [&] { fs::remove(out + "data.001"); },
         "dividra-cli: c:\\out\\data.001 (" + out + "data.001): missing", "data.001: missing"},
        {"truncated", [&] { fs::resize_file(out + "data.000", 1000); },
         "dividra-cli: c:\\out\\data.000 (" + out +
             "data.000): wrong size: 1000 bytes, "
             "1454080 expected",
         "data.000: wrong size: 1000 bytes, 1454080 expected"},
        {"longer last", [&] { m_dir.write("out/data.002", std::string(91841, 'x')); },
         "wrong size: 91841 bytes, 91840 expected", "data.002: wrong size: 91841 bytes"},
        {"a folder",
         [&] {
             fs::remove(out + "data.002");
             fs::create_directories(out + "data.002");
         },
         "dividra-cli: Can't read c:\\out\\data.002", "data.002: can't be read"},
        {"wrong count",
         [&] {
             m_dir.write("out/data.kpn",
                         "File Ext=.zip\r\nTotal Files=4\r\nTotal Size=3000000\r\n");
         },
         "c:\\out\\data.003 (" + out + "data.003): missing", "data.003: missing"},
        {"wrong size",
         [&] {
             m_dir.write("out/data.kpn",
                         "File Ext=.zip\r\nTotal Files=3\r\nTotal Size=3000001\r\n");
         },
         "data.002 (" + out + "data.002): wrong size: 91840 bytes, 91841 expected",
         "The segments found hold 3000000 bytes; 3000001 expected"},
        {"fourth line", [&] { m_dir.write("out/data.kpn", ok3 + "Total Time=1\r\n"); },
         "dividra-cli: c:\\out\\data.kpn (" + out + "data.kpn): line 4: unexpected", ""},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir.file("out"));
        fs::create_directories(m_dir.file("out"));
        splitSource("data.zip", 3000000, {"--size", "1420"});
        c.damage();
        const Outcome joined = cli({"join", out + "data.kpn"});
        EXPECT_EQ(joined.status, kExitFailed) << c.what;
        EXPECT_NE(joined.err.find(c.refusal), std::string::npos) << c.what << ": " << joined.err;
        EXPECT_FALSE(fs::exists(out + "data.zip")) << c.what;
        EXPECT_FALSE(fs::exists(out + "data.zip.dividra-part")) << c.what;
        const Outcome verified = cli({"verify", out + "data.kpn"});
        EXPECT_EQ(verified.status, kExitFailed) << c.what;
        EXPECT_NE(verified.out.find(c.verifyOut), std::string::npos) << c.what << verified.out;
    }
}

// A descriptor's line is echoed in the refusal: its control bytes must not reach the terminal.
TEST_F(JoinCliTest, ControlBytesOfADescriptorAreShownEscaped) {
    const std::string descriptor =
        m_dir.write("out/data.kpn", "File Ext=\x1b[31m\r\nTotal Files=1\r\nTotal Size=3\r\n");
    for (const char* command : {"join", "verify"}) {
        const Outcome outcome = cli({command, descriptor});
        EXPECT_EQ(outcome.status, kExitFailed) << command;
        EXPECT_EQ(outcome.err, "dividra-cli: c:\\out\\data.kpn (" + descriptor +
                                   "): line 1: \"\\x1b[31m\" is no file extension\n")
            << command;
    }
}

TEST_F(JoinCliTest, StaleSegmentsAreIgnoredAndMentioned) {
    const std::string descriptor = splitSource("data.zip", 3000000, {"--size", "1420"});
    m_dir.write("out/data.003", "stale");
    m_dir.write("out/data.1000", "stale too");
    const std::string out = m_dir.file("out/");
    const Outcome joined = cli({"join", out + "data.kpn"});
    EXPECT_EQ(joined.status, kExitOk) << joined.err;
    EXPECT_NE(joined.out.find("Ignored c:\\out\\data.003 (" + out +
                              "data.003): not one of the 3 segments of c:\\out\\data.kpn"),
              std::string::npos)
        << joined.out;
    EXPECT_NE(joined.out.find("Ignored c:\\out\\data.1000"), std::string::npos);
    EXPECT_TRUE(TempDir::read(out + "data.zip") == m_source);
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitOk);
    EXPECT_NE(verified.out.find("data.003: not one of the 3 segments; ignored\n"),
              std::string::npos);
}

TEST_F(JoinCliTest, AnExistingOutputIsReplacedOnlyWithForce) {
    splitSource("data.zip", 3000, {"--size", "1"});
    const std::string out = m_dir.file("out/");
    m_dir.write("out/data.zip", "mine");
    const Outcome refused = cli({"join", out + "data.kpn"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_EQ(refused.err, "dividra-cli: c:\\out\\data.zip (" + out +
                               "data.zip): already exists; give --force to replace it\n");
    EXPECT_EQ(TempDir::read(out + "data.zip"), "mine");
    EXPECT_EQ(cli({"join", out + "data.kpn", "--force"}).status, kExitOk);
    EXPECT_TRUE(TempDir::read(out + "data.zip") == m_source);
}

TEST_F(JoinCliTest, AFullFolderGetsNothingUnderTheFinalName) {
    splitSource("data.zip", 3000000, {"--size", "1420"});
    test::TmpfsMount small(m_dir.file("small"), "64k");
    if (!small.mounted()) {
        GTEST_SKIP() << small.why();
    }
    const Outcome joined = cli({"join", m_dir.file("out/data.kpn"), "--to", m_dir.file("small")});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_NE(joined.err.find("Not enough room for c:\\small\\data.zip"), std::string::npos)
        << joined.err;
    EXPECT_TRUE(names("small").empty());
}

TEST_F(JoinCliTest, ChecksumsAreWrittenReadBySha256sumAndHeldAgainstTheSegments) {
    splitSource("data.zip", 3000000, {"--size", "1420", "--checksums"});
    const std::string out = m_dir.file("out/");
    const std::string sums = TempDir::read(out + "data.sha256");
    std::string expected;
    for (const char* name : {"data.000", "data.001", "data.002"}) {
        expected += core::Sha256Hex(TempDir::read(out + name)) + "  " + name + "\n";
    }
    EXPECT_EQ(sums, expected + core::Sha256Hex(m_source) + "  data.zip\n");
    if (std::system("command -v sha256sum >/dev/null") == 0) {
        const std::string check =
            "cd '" + out + "' && sha256sum --quiet -c --ignore-missing " + "data.sha256 >/dev/null";
        EXPECT_EQ(std::system(check.c_str()), 0);
    }
    EXPECT_EQ(cli({"verify", out + "data.kpn"}).status, kExitOk);
    std::string flipped = TempDir::read(out + "data.001");
    flipped[1000] = static_cast<char>(flipped[1000] ^ 1);
    m_dir.write("out/data.001", flipped);
    const Outcome joined = cli({"join", out + "data.kpn"});
    EXPECT_EQ(joined.status, kExitFailed);
    EXPECT_EQ(joined.err, "dividra-cli: c:\\out\\data.001 (" + out +
                              "data.001): checksum differs from c:\\out\\data.sha256 (" + out +
                              "data.sha256)\n");
    EXPECT_EQ(names("out"), (std::vector<std::string>{"data.000", "data.001", "data.002",
                                                      "data.kpn", "data.sha256"}));
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitFailed);
    EXPECT_NE(verified.out.find("data.001: checksum differs\n"), std::string::npos);
    // Without --checksums no checksum file is written.
    fs::remove_all(m_dir.file("out"));
    fs::create_directories(m_dir.file("out"));
    splitSource("data.zip", 3000, {"--size", "1"});
    EXPECT_FALSE(fs::exists(out + "data.sha256"));
}

TEST_F(JoinCliTest, UsageComplaints) {
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
    const Outcome missing = cli({"join", m_dir.file("none.kpn")});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_EQ(missing.err,
              "dividra-cli: c:\\none.kpn (" + m_dir.file("none.kpn") + "): no such file\n");
}

} // namespace
} // namespace dividra::cli
