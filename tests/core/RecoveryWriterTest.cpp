#include "core/recovery/RecoveryWriter.h"
#include "RecoveryFixture.h"
#include "core/recovery/Galois.h"
#include "core/recovery/Par2Format.h"
#include "core/recovery/RecoveryPlan.h"
#include "core/transfer/Transfer.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

namespace dividra::core {
namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

TEST(RecoveryPlanTest, SlicesAreASegmentOrAnEqualPartOfOne) {
    struct Row {
        std::vector<std::int64_t> lengths;
        int lost;
        std::int64_t sliceSize; // 0: refused
        int perSegment;
        int perPass;
    };
    const std::vector<std::int64_t> fat32(999, 4 * kGiB - 1);
    const Row rows[] = {
        {{1}, 1, 4, 1, 1},
        {{1454080, 1454080, 637760}, 2, 1454080, 1, 2},
        {{1454080, 1454080, 637760}, 3, 1454080, 1, 3},
        {{1457664, 1200001, 5}, 1, 1457664, 1, 1}, // a diskette set: the largest decides
        {{1454081}, 1, 1454084, 1, 1},
        {{100 << 20}, 1, 26214400, 4, 4},
        {{(32 << 20) + 1, 5}, 2, 16777220, 2, 4},
        // Slices of 128 MB where 32 MB ones would pass the format's count: one per pass.
        {fat32, 1, 134217728, 32, 1},
        {{}, 1, 0, 0, 0},
        {{10}, 0, 0, 0, 0},
        {{10}, 2, 0, 0, 0},
        {{10, 0}, 1, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const auto plan = PlanRecovery(row.lengths, row.lost);
        const std::string what =
            std::to_string(row.lengths.size()) + " segments, " + std::to_string(row.lost) + " lost";
        ASSERT_EQ(plan.ok(), row.sliceSize != 0) << what;
        if (!plan) {
            continue;
        }
        EXPECT_EQ(plan.value().sliceSize, row.sliceSize) << what;
        EXPECT_EQ(plan.value().slicesPerSegment, row.perSegment) << what;
        EXPECT_EQ(plan.value().recoverySlices, row.lost * row.perSegment) << what;
        EXPECT_EQ(plan.value().slicesPerPass, row.perPass) << what;
        EXPECT_LE(plan.value().inputSlices, par2::kMaxInputSlices) << what;
    }
}

TEST_F(RecoveryWriterTest, ExponentZeroIsTheXorOfThePaddedSegments) {
    const std::string source = dividra::test::PatternBytes(2 * 1000 + 333);
    ASSERT_TRUE(write(source, 1000, 2).ok());
    const std::string volume = file("data.vol00+01.par2");
    ASSERT_GE(volume.size(), 64u + 4 + 1000);
    EXPECT_EQ(volume.substr(0, 8), std::string(par2::kMagic));
    EXPECT_EQ(par2::GetU64(volume, par2::kLengthAt), 64u + 4 + 1000);
    EXPECT_EQ(volume.substr(par2::kTypeAt, 16), std::string(par2::kRecvSlicType));
    EXPECT_EQ(par2::GetU32(volume, 64), 0u);
    std::string expected(1000, '\0');
    for (std::size_t at = 0; at < source.size(); ++at) {
        expected[at % 1000] = static_cast<char>(expected[at % 1000] ^ source[at]);
    }
    EXPECT_TRUE(volume.substr(68, 1000) == expected);
    // The volumes repeat the index after their slices.
    EXPECT_TRUE(volume.ends_with(file("data.par2")));
    EXPECT_EQ(file("data.vol01+01.par2").size(), volume.size());
}

// Passes of fewer slices, chunks that cut the words in two: the same bytes in every file.
TEST_F(RecoveryWriterTest, PassesAndChunkSizesChangeNoByte) {
    const std::string source = dividra::test::PatternBytes(5 * 4000 + 77);
    ASSERT_TRUE(write(source, 4000, 6).ok());
    std::vector<std::string> once;
    for (int v = 0; v < 6; ++v) {
        once.push_back(file("data.vol0" + std::to_string(v) + "+01.par2"));
    }
    for (const auto& [passBytes, chunk] : std::vector<std::pair<std::int64_t, std::size_t>>{
             {8000, 49152}, {4000, 32767}, {1 << 20, 7}}) {
        ASSERT_TRUE(write(source, 4000, 6, passBytes, chunk).ok());
        for (int v = 0; v < 6; ++v) {
            EXPECT_TRUE(file("data.vol0" + std::to_string(v) + "+01.par2") == once[v])
                << passBytes << " " << chunk << " volume " << v;
        }
    }
    EXPECT_EQ(gf16::Multiply(par2::InputConstant(8), 1), 4107); // 2^16, the 9th constant
}

TEST_F(RecoveryWriterTest, ASourceChangedUnderTheCopyWritesNoRecoveryFile) {
    m_fs.putFile("c:\\data.zip", dividra::test::PatternBytes(3000));
    m_fs.putFile("c:\\other.zip", std::string(3000, 'x'));
    auto source = m_fs.openRead("c:\\data.zip");
    auto other = m_fs.openRead("c:\\other.zip");
    auto writer =
        RecoveryWriter::start(*source.value(), "c:\\data.zip", {{"c:\\out\\data.000", 3000}}, 1);
    ASSERT_TRUE(writer.ok());
    Transfer transfer(1024, nullptr);
    ASSERT_TRUE(transfer.startConsumers(4, writer.value()->consumers()).ok());
    const auto none = [](std::span<const std::byte>) { return Status(); };
    const auto early = [](std::int64_t) { return Error{ErrorCode::Io, "early"}; };
    ASSERT_TRUE(transfer.pump(*other.value(), 3000, none, early).ok());
    ASSERT_TRUE(transfer.mark().ok());
    ASSERT_TRUE(transfer.drain().ok());
    const Status finished = writer.value()->finish(m_fs, "c:\\out\\data.par2", {});
    ASSERT_FALSE(finished.ok());
    EXPECT_EQ(finished.error().message,
              "Can't read c:\\data.zip: it changed while it was being split");
    EXPECT_EQ(m_fs.listAll('c'),
              (std::vector<std::string>{"\\out\\", "\\data.zip 3000", "\\other.zip 3000"}));
}

} // namespace
} // namespace dividra::core
