#include "JoinCliFixture.h"

#include <cstdlib>

#include <gtest/gtest.h>

// Recovery volumes as the par2 tool reads them: it must accept a fresh set and rebuild what was
// lost, byte for byte, up to the count the split was asked for.
namespace dividra::cli {
namespace {

using test::TempDir;

int Par2(const std::string& folder, const std::string& command) {
    return std::system(
        ("cd '" + folder + "' && par2 " + command + " -q data.par2 >/dev/null 2>&1").c_str());
}

TEST_F(JoinCliTest, Par2VerifiesAndRepairsUpToTheCountAskedFor) {
    if (std::system("command -v par2 >/dev/null") != 0) {
        GTEST_SKIP() << "par2 is not installed";
    }
    struct Row {
        std::size_t size;
        std::string segmentSize;
        std::string recovery;
        std::vector<std::string> deleted;
        std::vector<std::string> damaged;
        bool repairs;
    };
    const Row rows[] = {
        {1, "1", "1", {"data.000"}, {}, true},
        {3000000, "1420", "3", {"data.000", "data.001", "data.002"}, {}, true},
        {3000000, "1420", "2", {"data.001"}, {"data.002"}, true},
        {3000000, "350", "1", {"data.000", "data.008"}, {}, false},
    };
    const std::string out = m_dir.file("out/");
    for (const Row& row : rows) {
        fs::remove_all(out);
        fs::create_directories(out);
        splitSource("data.zip", row.size, {"--size", row.segmentSize, "--recovery", row.recovery});
        ASSERT_EQ(Par2(out, "verify"), 0) << row.size;
        for (const std::string& name : row.deleted) {
            fs::remove(out + name);
        }
        for (const std::string& name : row.damaged) {
            std::string bytes = TempDir::read(out + name);
            bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x40);
            m_dir.write("out/" + name, bytes);
        }
        EXPECT_EQ(Par2(out, "repair") == 0, row.repairs) << row.size << " " << row.recovery;
        if (!row.repairs) {
            continue;
        }
        std::string joined;
        for (int n = 0; fs::exists(out + "data.00" + std::to_string(n)); ++n) {
            joined += TempDir::read(out + "data.00" + std::to_string(n));
        }
        EXPECT_TRUE(joined == m_source) << row.size << " " << row.recovery;
    }
}

// The other way: recovery files par2 made over the segments, small slices, three volumes.
TEST_F(JoinCliTest, VerifyAndRepairUseWhatPar2Created) {
    if (std::system("command -v par2 >/dev/null") != 0) {
        GTEST_SKIP() << "par2 is not installed";
    }
    const std::string descriptor = splitSource("data.zip", 3000000, {"--size", "1420"});
    const std::string out = m_dir.file("out/");
    ASSERT_EQ(std::system(("cd '" + out + "' && par2 create -q -q -s65536 -c30 -n3 data.par2 " +
                           "data.000 data.001 data.002 >/dev/null")
                              .c_str()),
              0);
    fs::remove(out + "data.002");
    std::string bytes = TempDir::read(out + "data.000");
    bytes[70000] = static_cast<char>(bytes[70000] ^ 1);
    m_dir.write("out/data.000", bytes);
    const Outcome verified = cli({"verify", out + "data.kpn"});
    EXPECT_EQ(verified.status, kExitFailed);
    EXPECT_NE(
        verified.out.find("data.000: damaged: 1 of 23 slices\ndata.001: ok\n"
                          "data.002: missing\n2 segments need repair: 3 slices to rebuild, "
                          "30 recovery slices at hand; dividra-cli repair can rebuild them.\n"),
        std::string::npos)
        << verified.out;
    const Outcome repaired = cli({"repair", out + "data.kpn"});
    EXPECT_EQ(repaired.status, kExitOk) << repaired.err;
    EXPECT_NE(repaired.out.find("Rebuilt c:\\out\\data.000 (" + out + "data.000)\nRebuilt "),
              std::string::npos)
        << repaired.out;
    EXPECT_TRUE(repaired.out.ends_with("The set is whole.\n"));
    EXPECT_TRUE(TempDir::read(out + "data.000") + TempDir::read(out + "data.001") +
                    TempDir::read(out + "data.002") ==
                m_source);
    EXPECT_EQ(Par2(out, "verify"), 0);
    EXPECT_EQ(cli({"verify", out + "data.kpn"}).status, kExitOk);
    // Too few: refused, and the segments stay as they are.
    for (const char* name : {"data.000", "data.001"}) {
        fs::remove(out + name);
    }
    const Outcome refused = cli({"repair", out + "data.kpn"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_EQ(refused.err, "dividra-cli: c:\\out\\data.kpn (" + out +
                               "data.kpn): 46 slices must be rebuilt and the recovery files hold "
                               "30; nothing was changed\n");
    EXPECT_EQ(names("out").size(), 6u); // data.002, kpn, par2 and three volumes
}

TEST_F(JoinCliTest, RecoveryCountsOutsideTheSetAreBadUsage) {
    const std::string source = m_dir.write("src/data.zip", std::string(3000, 'x'));
    const std::string out = m_dir.file("out");
    struct Row {
        std::vector<std::string> options;
        std::string line;
    };
    const Row rows[] = {
        {{"--to", out, "--recovery", "0"}, "split: bad --recovery value \"0\"; give 1 to 999"},
        {{"--to", out, "--recovery", "x"}, "split: bad --recovery value \"x\"; give 1 to 999"},
        {{"--to", out, "--recovery", "1000"}, "split: bad --recovery value \"1000\""},
        {{"--to", out, "--size", "1", "--recovery", "4"},
         "split: --recovery 4: " + source + " makes 3 segments; give 1 to that count"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> line{source};
        line.insert(line.end(), row.options.begin(), row.options.end());
        const Outcome outcome = run(line);
        EXPECT_EQ(outcome.status, kExitBadInput) << row.line;
        EXPECT_NE(outcome.err.find(row.line), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(names("out"), std::vector<std::string>{});
}

} // namespace
} // namespace dividra::cli
