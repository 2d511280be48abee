#include "cli/SegmentSize.h"
#include "CliFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace dividra::cli {
namespace {

constexpr std::int64_t kKilo = 1024;
constexpr std::int64_t kMega = kKilo * 1024;
constexpr std::int64_t kGiga = kMega * 1024;

// Every unit in both cases, the 4 GiB edge in each unit, and what isn't a size.
TEST(SegmentSizeTest, TheUnitParser) {
    const std::pair<const char*, std::int64_t> accepted[] = {
        {"1420", 1420 * kKilo},
        {"1180", 1180 * kKilo},
        {"710", 710 * kKilo},
        {"350", 350 * kKilo},
        {"1", kKilo},
        {"1024", 1024 * kKilo},
        {"1025", 1025 * kKilo},
        {"1419", 1419 * kKilo},
        {"2000", 2000 * kKilo},
        {"99999", 99999 * kKilo},
        {"0064K", 64 * kKilo},
        {"64K", 64 * kKilo},
        {"64k", 64 * kKilo},
        {"700M", 700 * kMega},
        {"700m", 700 * kMega},
        {"1G", kGiga},
        {"1g", kGiga},
        {"3G", 3 * kGiga},
        {"4095M", 4095 * kMega},
        {"4194303K", 4194303 * kKilo},
        {"4194303", 4194303 * kKilo},
    };
    for (const auto& [text, bytes] : accepted) {
        EXPECT_EQ(ParseSegmentSize(text).value(), bytes) << text;
    }
    // Only single letters are units; the limit holds in bytes.
    const std::string overflowing = "99999999999999999999";
    const std::string refused[] = {"0",     "0K",       "0M",      "4G",        "4g",
                                   "4096M", "4194304K", "4194304", "1.5G",      "-1",
                                   "+5",    "10X",      "",        "G",         " 5",
                                   "5 ",    "64 K",     "1e3",     "1KB",       "1MiB",
                                   "1GG",   "abc",      "Custom",  overflowing, overflowing + "K"};
    for (const std::string& text : refused) {
        const auto parsed = ParseSegmentSize(text);
        ASSERT_FALSE(parsed.ok()) << '"' << text << '"';
        EXPECT_EQ(parsed.error().code, ErrorCode::InvalidArgument);
        EXPECT_TRUE(parsed.error().message.starts_with("bad segment size \"" + text + "\"; "));
    }
}

TEST(SegmentSizeTest, PieceCountsAndTheSizeTheyGive) {
    for (const char* bad : {"0", "1000", "-1", "", "x", "1.0", " 1", "99999999999999999999"}) {
        EXPECT_FALSE(ParsePieceCount(bad).ok()) << bad;
    }
    EXPECT_EQ(ParsePieceCount("1").value(), 1);
    EXPECT_EQ(ParsePieceCount("999").value(), 999);
    struct Row {
        std::int64_t sourceSize;
        int pieces;
        std::int64_t bytes; // 0: refused with `why`
        const char* why;
    };
    const Row rows[] = {
        {10, 1, 10, ""},
        {10, 2, 5, ""},
        {10, 3, 4, ""}, // 4, 4 and 2
        {10, 10, 1, ""},
        {999, 999, 1, ""},
        {3000000, 999, 3004, ""},
        {2 * kGiga + 5, 2, kGiga + 3, ""},
        {2 * (4 * kGiga - 1), 2, 4 * kGiga - 1, ""},
        {2 * (4 * kGiga - 1) + 1, 2, 0, "--pieces 2 makes pieces of 4294967296 bytes, above"},
        {10, 6, 0, "--pieces 6: 10 bytes in pieces of 2 make 5, not 6"},
        {1000, 999, 0, "--pieces 999: 1000 bytes in pieces of 2 make 500, not 999"},
        {10, 11, 0, "--pieces 11 is more than the 10 bytes of the source"},
        {0, 1, 0, "--pieces 1 is more than the 0 bytes of the source"},
    };
    for (const Row& row : rows) {
        const auto bytes = SegmentBytesFor({0, row.pieces}, row.sourceSize);
        ASSERT_EQ(bytes.ok(), row.bytes > 0) << row.sourceSize << " " << row.pieces;
        if (row.bytes > 0) {
            EXPECT_EQ(bytes.value(), row.bytes) << row.sourceSize << " " << row.pieces;
        } else {
            EXPECT_TRUE(bytes.error().message.starts_with(row.why)) << bytes.error().message;
        }
    }
    EXPECT_EQ(SegmentBytesFor({65536, 0}, 3).value(), 65536);
}

// Whole kilobytes as the window's list shows a size; a piece size of odd bytes as bytes.
TEST(SegmentSizeTest, SizeTexts) {
    EXPECT_EQ(SegmentSizeText(1420 * kKilo), "1420");
    EXPECT_EQ(SegmentSizeText(kGiga), "1048576");
    EXPECT_EQ(SegmentSizeText(3004), "3004");
    EXPECT_EQ(SegmentSizeText(0), "0");
}

TEST_F(CliTest, PlanTakesUnitsAndPieces) {
    const std::string source = m_dir.write("data.zip", std::string(3000000, 'x'));
    struct Row {
        std::vector<std::string> options;
        const char* expected;
    };
    const Row rows[] = {
        {{"--size", "2000"}, "segment size: 2048000\nsegments: 2\n"},
        {{"--size=1m"}, "segment size: 1048576\nsegments: 3\n"},
        {{"--size", "1G"}, "segment size: 1073741824\nsegments: 1\n"},
        {{"--pieces", "1"}, "segment size: 3000000\nsegments: 1\n"},
        {{"--pieces=2"}, "segment size: 1500000\nsegments: 2\n"},
        {{"--pieces", "999"}, "segment size: 3004\nsegments: 999\n"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> line{"plan", source};
        line.insert(line.end(), row.options.begin(), row.options.end());
        const Outcome outcome = run(line);
        EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
        EXPECT_NE(outcome.out.find(row.expected), std::string::npos) << outcome.out;
    }
    const std::string small = m_dir.write("small.bin", "0123456789");
    expectComplaint({"plan", source, "--pieces", "1000"}, "plan: bad piece count \"1000\"");
    expectComplaint({"plan", source, "--pieces", "0"}, "plan: bad piece count \"0\"");
    expectComplaint({"plan", small, "--pieces", "11"}, "plan: --pieces 11 is more than the 10");
    expectComplaint({"plan", small, "--pieces", "6"}, "plan: --pieces 6: 10 bytes in pieces");
    expectComplaint({"plan", source, "--size", "1", "--pieces", "2"},
                    "plan: --size and --pieces exclude each other");
    expectComplaint({"plan", source, "--size", "4G"}, "plan: bad segment size \"4G\"");
    expectComplaint({"plan", source, "--flush=buffer"}, "plan: unknown option \"--flush=buffer\"");
}

// A hand-edited settings file: the stored custom size is kept in range as the window keeps it.
TEST_F(CliTest, PlanKeepsTheStoredCustomSizeInRange) {
    const std::string source = m_dir.write("data.zip", std::string(3000000, 'x'));
    const std::pair<const char*, const char*> rows[] = {
        {"00000000", "1024\nsegments: 2930"}, {"ffffffff", "1024\nsegments: 2930"},
        {"00000001", "1024\nsegments: 2930"}, {"00000400", "1048576\nsegments: 3"},
        {"00000401", "1048576\nsegments: 3"}, {"00400000", "1048576\nsegments: 3"}};
    for (const auto& [dword, shown] : rows) {
        m_dir.write("profile/registry.reg",
                    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\"
                    "Hard Drive Options]\n\"Default Segment Size\"=\"custom\"\n"
                    "\"Custom Segment Size\"=dword:" +
                        std::string(dword) + "\n");
        const Outcome outcome = run({"plan", source});
        EXPECT_EQ(outcome.status, kExitOk) << dword << "\n" << outcome.err;
        EXPECT_TRUE(outcome.out.starts_with(
            "source size: 3000000\nsegment size: " + std::string(shown) + "\n"))
            << dword << "\n"
            << outcome.out;
    }
}

} // namespace
} // namespace dividra::cli
