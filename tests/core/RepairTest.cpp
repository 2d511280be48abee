#include "core/recovery/Repair.h"
#include "RecoveryFixture.h"
#include "core/recovery/Galois.h"
#include "core/recovery/RecoveryCheck.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

class RepairTest : public RecoveryWriterTest {
protected:
    std::vector<std::string> segmentPaths(int count) const {
        std::vector<std::string> paths;
        for (int n = 0; n < count; ++n) {
            paths.push_back("c:\\out\\data.00" + std::to_string(n));
        }
        return paths;
    }
    Result<RecoveryState> check(int count) {
        return CheckAgainstRecovery(m_fs, "c:\\out\\data.kpn", segmentPaths(count), {});
    }
    void flip(const std::string& path, std::size_t at) {
        std::string bytes = *m_fs.contents(path);
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5a);
        (void)m_fs.deleteFile(path);
        m_fs.putFile(path, bytes);
    }
};

TEST_F(RepairTest, RebuildsUpToTheCountAndRefusesOneMoreChangingNothing) {
    struct Row {
        std::size_t size;
        std::int64_t segment;
        int lost;
        std::vector<int> deleted;
        std::vector<int> damaged;
        std::int64_t needed;
        bool repairs;
    };
    const Row rows[] = {
        {1, 1000, 1, {0}, {}, 1, true},             // a 1-byte source
        {3333, 1000, 1, {3}, {}, 1, true},          // the short last one
        {3333, 1000, 4, {0, 1, 2, 3}, {}, 4, true}, // every segment
        {3333, 1000, 2, {1}, {2}, 2, true},         // lost and damaged
        {3333, 1000, 2, {0, 1}, {3}, 3, false},     // one more than asked for
        {5 * 4000, 4000, 1, {}, {}, 0, true},       // whole: nothing to do
    };
    for (const Row& row : rows) {
        for (const std::string& entry : m_fs.listAll('c')) {
            if (!entry.ends_with('\\')) {
                (void)m_fs.deleteFile("c:" + entry.substr(0, entry.rfind(' ')));
            }
        }
        const std::string source = dividra::test::PatternBytes(row.size);
        ASSERT_TRUE(write(source, row.segment, row.lost).ok());
        const int count = static_cast<int>((row.size + row.segment - 1) / row.segment);
        for (int n : row.deleted) {
            (void)m_fs.deleteFile(segmentPaths(count)[n]);
        }
        for (int n : row.damaged) {
            flip(segmentPaths(count)[n], 7);
        }
        const std::vector<std::string> before = m_fs.listAll('c');
        const auto state = check(count);
        ASSERT_TRUE(state.ok()) << state.error().message;
        EXPECT_EQ(state.value().slicesNeeded, row.needed) << row.size << " " << row.lost;
        EXPECT_EQ(state.value().repairable(), row.repairs);
        const auto rebuilt = RepairSegments(m_fs, state.value(), {});
        ASSERT_EQ(rebuilt.ok(), row.repairs) << row.size << " " << row.lost;
        if (!row.repairs) {
            EXPECT_EQ(rebuilt.error().message,
                      "3 slices must be rebuilt and the recovery files hold 2");
            EXPECT_EQ(m_fs.listAll('c'), before);
            continue;
        }
        EXPECT_EQ(rebuilt.value().size(), row.deleted.size() + row.damaged.size());
        std::string joined;
        for (const std::string& path : segmentPaths(count)) {
            joined += m_fs.contents(path).value_or("<missing>");
        }
        EXPECT_TRUE(joined == source) << row.size << " " << row.lost;
        EXPECT_TRUE(check(count).value().whole());
    }
}

// A recovery packet hit by a bad byte is skipped: one slice fewer, the rest still serve.
TEST_F(RepairTest, ADamagedRecoveryPacketCountsForNothing) {
    const std::string source = dividra::test::PatternBytes(3000);
    ASSERT_TRUE(write(source, 1000, 2).ok());
    flip("c:\\out\\data.vol00+01.par2", 64 + 4 + 10);
    (void)m_fs.deleteFile("c:\\out\\data.001");
    const auto state = check(3);
    ASSERT_TRUE(state.ok());
    EXPECT_EQ(state.value().slicesAvailable, 1);
    EXPECT_EQ(state.value().set.skipped, 1);
    ASSERT_TRUE(RepairSegments(m_fs, state.value(), {}).ok());
    EXPECT_TRUE(m_fs.contents("c:\\out\\data.001") == source.substr(1000, 1000));
}

// Bytes beyond the length the recovery files give make a segment damaged: the repair cuts them.
TEST_F(RepairTest, ASegmentGrownLongerIsDamagedAndCutBack) {
    const std::string source = dividra::test::PatternBytes(3000);
    ASSERT_TRUE(write(source, 1000, 1).ok());
    (void)m_fs.deleteFile("c:\\out\\data.002");
    m_fs.putFile("c:\\out\\data.002", source.substr(2000) + "tail");
    const auto state = check(3);
    ASSERT_TRUE(state.ok());
    EXPECT_FALSE(state.value().whole());
    EXPECT_EQ(state.value().slicesNeeded, 0);
    ASSERT_TRUE(RepairSegments(m_fs, state.value(), {}).ok());
    EXPECT_TRUE(m_fs.contents("c:\\out\\data.002") == source.substr(2000));
}

TEST_F(RepairTest, ASetWithoutRecoveryFilesSaysSo) {
    m_fs.putFile("c:\\out\\data.000", "x");
    const auto state = check(1);
    ASSERT_FALSE(state.ok());
    EXPECT_EQ(state.error().code, ErrorCode::NotFound);
    EXPECT_EQ(state.error().message, "no recovery files beside c:\\out\\data.kpn");
}

// Short regions off a 16-byte boundary are where the library alone goes wrong.
TEST(GaloisTest, RegionsAtEveryPlaceAgreeWithWordByWord) {
    alignas(64) std::byte src[160];
    alignas(64) std::byte dst[160];
    for (std::size_t from = 0; from < 34; from += 2) {
        for (std::size_t to = 0; to < 34; to += 2) {
            for (std::size_t bytes = 2; bytes <= 70; bytes += 4) {
                for (std::size_t i = 0; i < 160; ++i) {
                    src[i] = static_cast<std::byte>(i * 37 + 1);
                    dst[i] = static_cast<std::byte>(i * 11 + 5);
                }
                gf16::MultiplyAdd(std::span(src + from, bytes), std::span(dst + to, bytes), 4107);
                for (std::size_t k = 0; k < 160; k += 2) {
                    const bool inside = k >= to && k < to + bytes;
                    const auto word = [](const std::byte* p) {
                        return static_cast<std::uint16_t>(std::to_integer<unsigned>(p[0]) |
                                                          std::to_integer<unsigned>(p[1]) << 8);
                    };
                    const std::uint16_t before = static_cast<std::uint16_t>(
                        ((k * 11 + 5) & 255) | (((k + 1) * 11 + 5) & 255) << 8);
                    const std::uint16_t expected =
                        inside ? before ^ gf16::Multiply(word(src + from + k - to), 4107) : before;
                    ASSERT_EQ(word(dst + k), expected) << from << " " << to << " " << bytes;
                }
            }
        }
    }
}

TEST(InvertMatrixTest, TimesItsInverseIsTheIdentityAndASingularOneHasNone) {
    const std::size_t n = 9;
    std::vector<std::uint16_t> matrix(n * n);
    for (std::size_t r = 0; r < n; ++r) {
        for (std::size_t k = 0; k < n; ++k) {
            matrix[r * n + k] = gf16::Power(par2::InputConstant(static_cast<std::int64_t>(k)),
                                            static_cast<std::uint32_t>(r * 3));
        }
    }
    const auto inverse = InvertMatrix(matrix, n);
    ASSERT_TRUE(inverse.has_value());
    for (std::size_t r = 0; r < n; ++r) {
        for (std::size_t c = 0; c < n; ++c) {
            std::uint16_t sum = 0;
            for (std::size_t k = 0; k < n; ++k) {
                sum ^= gf16::Multiply(matrix[r * n + k], (*inverse)[k * n + c]);
            }
            EXPECT_EQ(sum, r == c ? 1 : 0) << r << "," << c;
        }
    }
    std::vector<std::uint16_t> singular = matrix;
    for (std::size_t k = 0; k < n; ++k) {
        singular[n + k] = singular[k]; // two equal rows
    }
    EXPECT_FALSE(InvertMatrix(singular, n).has_value());
}

} // namespace
} // namespace dividra::core
