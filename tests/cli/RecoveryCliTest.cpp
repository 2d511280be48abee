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
        {{"--floppy", "a:", "--recovery", "1"}, "split: --recovery goes with --to, not with"},
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
