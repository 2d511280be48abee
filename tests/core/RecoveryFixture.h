#pragma once

#include "core/recovery/RecoveryPlan.h"
#include "core/recovery/RecoveryWriter.h"
#include "core/transfer/Transfer.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dividra::core {

// The writer fed as a split feeds it: the source through a transfer, a mark after each segment,
// the segments already in c:\out for any further pass.
class RecoveryWriterTest : public ::testing::Test {
protected:
    RecoveryWriterTest() {
        m_fs.addDrive('c', platform::DriveType::Fixed, 64 << 20);
        m_fs.createFolder("c:\\out");
    }

    Status write(const std::string& source, std::int64_t segmentBytes, int lost,
                 std::int64_t passBytes = kRecoveryPassBytes, std::size_t chunk = 49152) {
        m_fs.putFile("c:\\data.zip", source);
        std::vector<RecoverySegment> segments;
        for (std::size_t at = 0; at < source.size(); at += segmentBytes) {
            const std::string path = "c:\\out\\data.00" + std::to_string(segments.size());
            m_fs.putFile(path, source.substr(at, segmentBytes));
            segments.push_back({path, static_cast<std::int64_t>(m_fs.contents(path)->size())});
        }
        auto in = m_fs.openRead("c:\\data.zip");
        auto writer = RecoveryWriter::start(*in.value(), "c:\\data.zip", segments, lost, passBytes);
        EXPECT_TRUE(writer.ok());
        Transfer transfer(chunk, nullptr);
        EXPECT_TRUE(transfer.startConsumers(4, writer.value()->consumers()).ok());
        for (const RecoverySegment& segment : segments) {
            const auto none = [](std::span<const std::byte>) { return Status(); };
            const auto early = [](std::int64_t) { return Error{ErrorCode::Io, "early"}; };
            EXPECT_TRUE(transfer.pump(*in.value(), segment.length, none, early).ok());
            EXPECT_TRUE(transfer.mark().ok());
        }
        EXPECT_TRUE(transfer.drain().ok());
        return writer.value()->finish(m_fs, "c:\\out\\data.par2", {});
    }
    std::string file(const std::string& name) const {
        return m_fs.contents("c:\\out\\" + name).value_or("<missing>");
    }

    platform::MemoryFileSystem m_fs;
};

} // namespace dividra::core
