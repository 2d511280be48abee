#include "core/split/SegmentCopy.h"
#include "fakes/MemoryFileSystem.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <optional>

namespace dividra::core {
namespace {

using platform::DriveType;
using platform::Fault;
using platform::MemoryFileSystem;

struct RecordingObserver : CopyObserver {
    void afterBuffer() override { ++buffers; }
    std::vector<int> changes;
    int buffers = 0;
};

class SegmentCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fs.addDrive('c', DriveType::Fixed, 64 * 1024 * 1024);
        m_disk = &m_fs.addDrive('a', DriveType::Removable, 1457664);
    }

    // Opens a fresh source of that size; the test's SplitProgress starts at its beginning.
    std::unique_ptr<platform::File> source(std::size_t size, const char* path = "c:\\data.zip") {
        m_bytes = dividra::test::PatternBytes(size);
        m_fs.putFile(path, m_bytes);
        auto opened = OpenSource(m_fs, path);
        EXPECT_TRUE(opened.ok());
        const auto total = static_cast<std::int64_t>(size);
        m_transfer.reset();
        m_count.emplace(total, [this](int parts) { m_observer.changes.push_back(parts); });
        m_progress.emplace(SplitProgress{path, total, *m_count, 0});
        return std::move(opened).value();
    }

    // The split's transfer, with chunks of `buffer` bytes.
    Transfer& transfer(std::size_t buffer = kHardDriveBufferSize) {
        if (!m_transfer || m_chunk != buffer) {
            m_transfer.emplace(buffer, &*m_count);
            m_chunk = buffer;
        }
        return *m_transfer;
    }

    Status copy(platform::File& from, const char* to, std::int64_t length,
                std::size_t buffer = kHardDriveBufferSize) {
        return CopySegment(m_fs, from, to, length, FlushPolicy::Buffer, transfer(buffer),
                           *m_progress, m_observer);
    }

    MemoryFileSystem m_fs;
    platform::Medium* m_disk = nullptr;
    std::string m_bytes;
    RecordingObserver m_observer;
    std::optional<ProgressCount> m_count;
    std::optional<SplitProgress> m_progress;
    std::optional<Transfer> m_transfer; // after the count it adds to
    std::size_t m_chunk = 0;
};

TEST_F(SegmentCopyTest, HardDriveChunksAreWholeBuffersThenTheRest) {
    auto src = source(100000);
    ASSERT_TRUE(copy(*src, "c:\\out.000", 100000).ok());
    EXPECT_EQ(m_fs.writeSizes("c:\\out.000"), (std::vector<std::int64_t>{49152, 49152, 1696}));
    EXPECT_EQ(m_fs.flushCount("c:\\out.000"), 3);
    EXPECT_EQ(m_fs.contents("c:\\out.000"), m_bytes);
    EXPECT_EQ(m_observer.buffers, 3);
}

TEST_F(SegmentCopyTest, FloppyChunksAre32767Bytes) {
    auto src = source(100000);
    ASSERT_TRUE(copy(*src, "a:\\data.000", 100000, kFloppyBufferSize).ok());
    EXPECT_EQ(m_fs.writeSizes("a:\\data.000"),
              (std::vector<std::int64_t>{32767, 32767, 32767, 1699}));
    EXPECT_EQ(m_fs.flushCount("a:\\data.000"), 4);
}

TEST_F(SegmentCopyTest, SegmentsContinueWhereThePreviousStoppedAndCloseTheirFiles) {
    auto src = source(250000);
    ASSERT_TRUE(copy(*src, "c:\\d.000", 100000).ok());
    ASSERT_TRUE(copy(*src, "c:\\d.001", 100000).ok());
    ASSERT_TRUE(copy(*src, "c:\\d.002", 50000).ok());
    EXPECT_EQ(m_fs.contents("c:\\d.000"), m_bytes.substr(0, 100000));
    EXPECT_EQ(m_fs.contents("c:\\d.001"), m_bytes.substr(100000, 100000));
    EXPECT_EQ(m_fs.contents("c:\\d.002"), m_bytes.substr(200000));
    EXPECT_EQ(m_count->done(), 250000);
    EXPECT_EQ(m_fs.openFiles(), 1); // only the source, which the caller closes
    src.reset();
    EXPECT_EQ(m_fs.openFiles(), 0);
}

TEST_F(SegmentCopyTest, ProgressIsCutNeverRoundedAndReportedOnlyOnChange) {
    EXPECT_EQ(ProgressParts(49152, 1000000), 0);
    EXPECT_EQ(ProgressParts(98304, 1000000), 1);
    EXPECT_EQ(ProgressParts(999999, 1000000), 19);
    EXPECT_EQ(ProgressParts(1000000, 1000000), 20);
    EXPECT_EQ(ProgressParts(0, 0), 0);

    auto src = source(1000000);
    ASSERT_TRUE(copy(*src, "c:\\p.000", 1000000).ok());
    std::vector<int> expected;
    for (int part = 1; part <= 20; ++part) {
        expected.push_back(part);
    }
    EXPECT_EQ(m_observer.changes, expected);
    EXPECT_EQ(m_observer.buffers, 21);
}

TEST_F(SegmentCopyTest, ProgressSkipsPartsWhenABufferCoversSeveral) {
    auto src = source(100000);
    ASSERT_TRUE(copy(*src, "c:\\p.000", 100000).ok());
    // 49152 of 100000 is 9.8 parts, 98304 is 19.7, the end 20.
    EXPECT_EQ(m_observer.changes, (std::vector<int>{9, 19, 20}));
}

TEST_F(SegmentCopyTest, AnExistingFileIsReplacedAndAnEmptySegmentIsCreated) {
    m_fs.putFile("c:\\out.000", std::string(500000, 'z'));
    auto src = source(10);
    ASSERT_TRUE(copy(*src, "c:\\out.000", 10).ok());
    EXPECT_EQ(m_fs.contents("c:\\out.000"), m_bytes);
    ASSERT_TRUE(copy(*src, "c:\\empty.001", 0).ok());
    EXPECT_EQ(m_fs.contents("c:\\empty.001"), "");
}

TEST_F(SegmentCopyTest, TheSourceItselfIsNeverOverwritten) {
    auto src = source(5000, "c:\\data.000");
    for (const char* spelling : {"c:\\data.000", "C:\\DATA.000", "c:\\Data.000"}) {
        const Status status = copy(*src, spelling, 5000);
        ASSERT_FALSE(status.ok()) << spelling;
        EXPECT_EQ(status.error().code, ErrorCode::SameFile);
        EXPECT_EQ(status.error().message,
                  "Can't create " + std::string(spelling) + ": it is the file being split");
    }
    EXPECT_EQ(m_fs.contents("c:\\data.000"), m_bytes);
    EXPECT_TRUE(m_fs.writeSizes("c:\\data.000").empty());
}

struct FaultCase {
    const char* name;
    Fault fault;
    ErrorCode code;
    const char* messageStart;
    std::int64_t keptBytes; // what the segment holds afterwards
};

class SegmentCopyFaultTest : public SegmentCopyTest,
                             public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SegmentCopyFaultTest, EndsWithAnErrorAndClosesTheSegment) {
    const FaultCase& c = GetParam();
    auto src = source(100000, "c:\\data.zip");
    m_fs.addFault(c.fault);
    const Status status = copy(*src, "a:\\data.000", 100000, kFloppyBufferSize);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, c.code);
    EXPECT_TRUE(status.error().message.starts_with(c.messageStart)) << status.error().message;
    EXPECT_EQ(m_fs.openFiles(), 1) << "the segment must be closed";
    if (c.fault.kind != Fault::Kind::CreateFails) {
        // Closed by the copy, not left to the handle's destructor.
        EXPECT_TRUE(m_fs.callLog("a:\\data.000").back().starts_with("close "));
    }
    if (c.keptBytes >= 0) {
        EXPECT_EQ(m_disk->contents("\\data.000"), m_bytes.substr(0, c.keptBytes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SegmentCopyFaultTest,
    ::testing::Values(FaultCase{"ReadFails",
                                {Fault::Kind::ReadFails, "c:\\data.zip", 40000},
                                ErrorCode::Io,
                                "Can't read c:\\data.zip",
                                32767},
                      FaultCase{"SourceShrank",
                                {Fault::Kind::ReadShort, "c:\\data.zip", 40000},
                                ErrorCode::Io,
                                "Can't read c:\\data.zip: it ended after 40000 of 100000 bytes",
                                40000},
                      FaultCase{"WriteFails",
                                {Fault::Kind::WriteFails, "a:", 32767},
                                ErrorCode::Io,
                                "Can't write a:\\data.000",
                                32767},
                      FaultCase{"WriteShort",
                                {Fault::Kind::WriteShort, "a:", 50000},
                                ErrorCode::DiskFull,
                                "Can't write a:\\data.000: only 17233 of 32767 bytes were written",
                                50000},
                      FaultCase{"FlushFails",
                                {Fault::Kind::FlushFails, "a:", 1, 1, ErrorCode::Io},
                                ErrorCode::Io,
                                "Can't write a:\\data.000",
                                65534},
                      FaultCase{"CreateFails",
                                {Fault::Kind::CreateFails, "a:", 0, -1, ErrorCode::AccessDenied},
                                ErrorCode::AccessDenied,
                                "Can't create a:\\data.000",
                                -1},
                      FaultCase{"CloseFails",
                                {Fault::Kind::CloseFails, "a:", 0, -1, ErrorCode::Io},
                                ErrorCode::Io,
                                "Can't write a:\\data.000",
                                100000},
                      FaultCase{"DisketteRemoved",
                                {Fault::Kind::MediumVanishes, "a:", 70000},
                                ErrorCode::NotReady,
                                "Can't write a:\\data.000",
                                -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SegmentCopyTest, AFailedHashEndsTheCopyAndClosesTheSegment) {
    auto src = source(300000);
    ASSERT_TRUE(transfer()
                    .startConsumers(2, {[](std::span<const std::byte>) {
                                        return Status(Error{ErrorCode::Io, "hash broke"});
                                    }})
                    .ok());
    const Status status = copy(*src, "c:\\data.000", 300000);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().message, "hash broke");
    EXPECT_EQ(m_fs.openFiles(), 1) << "the segment must be closed";
}

TEST_F(SegmentCopyTest, AFullDisketteEndsTheCopyWithDiskFull) {
    auto src = source(1457664 + 1);
    const Status status = copy(*src, "a:\\big.000", 1457664 + 1, kFloppyBufferSize);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, ErrorCode::DiskFull);
    EXPECT_EQ(m_fs.openFiles(), 1);
}

TEST_F(SegmentCopyTest, AnUnopenableSourceNamesThePath) {
    const auto missing = OpenSource(m_fs, "c:\\gone.zip");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::NotFound);
    EXPECT_TRUE(missing.error().message.starts_with("Can't open c:\\gone.zip"))
        << missing.error().message;
}

} // namespace
} // namespace dividra::core
