#include "core/transfer/ChunkWorker.h"
#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace dividra::core {
namespace {

// Hands `bytes` to the worker in chunks of at most `chunk` bytes, as a copy does, then waits.
Status feed(ChunkWorker& worker, const std::string& bytes, std::size_t chunk) {
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const std::span<std::byte> buffer = worker.next();
        const std::size_t size = std::min({chunk, buffer.size(), bytes.size() - at});
        std::memcpy(buffer.data(), bytes.data() + at, size);
        if (const Status handed = worker.handOver(size); !handed) {
            return handed;
        }
    }
    return worker.drain();
}

// Collects the chunks; a mark shows as "|".
ChunkWorker::Consume collectInto(std::string& out) {
    return [&out](std::span<const std::byte> chunk) {
        if (chunk.empty()) {
            out += '|';
        }
        out.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
        return Status();
    };
}

TEST(ChunkWorkerTest, EachFunctionGetsEveryChunkAndMarkInOrder) {
    const std::string bytes = test::PatternBytes(100000);
    std::string first;
    std::string second;
    std::string third;
    auto worker = ChunkWorker::start(1000, 3, {collectInto(first), collectInto(second)});
    ASSERT_TRUE(worker.ok());
    ASSERT_TRUE(feed(*worker.value(), bytes, 700).ok());
    ASSERT_TRUE(worker.value()->mark().ok());
    ASSERT_TRUE(feed(*worker.value(), "tail", 3).ok());
    EXPECT_TRUE(first == bytes + "|tail");
    EXPECT_TRUE(second == first);
    auto hash = ChunkWorker::start(4096, 2, {collectInto(third)});
    ASSERT_TRUE(feed(*hash.value(), bytes, 4096).ok());
    EXPECT_TRUE(third == bytes);
}

TEST(ChunkWorkerTest, AFailingFunctionComesBackAsAnErrorWithoutAHang) {
    struct Case {
        int failAt; // chunk number
        bool throws;
        std::string message;
    };
    for (const Case& c : {Case{0, false, "hash broke"}, Case{5, false, "hash broke"},
                          Case{5, true, "Can't compute a checksum: out of order"}}) {
        SCOPED_TRACE(c.failAt);
        int seen = 0;
        std::string other;
        auto worker = ChunkWorker::start(
            100, 2, {collectInto(other), [&](std::span<const std::byte>) -> Status {
                         if (seen++ < c.failAt) {
                             return {};
                         }
                         if (c.throws) {
                             throw std::runtime_error("out of order");
                         }
                         return Error{ErrorCode::Io, "hash broke"};
                     }});
        ASSERT_TRUE(worker.ok());
        const Status fed = feed(*worker.value(), test::PatternBytes(5000), 100);
        ASSERT_FALSE(fed.ok());
        EXPECT_EQ(fed.error().message, c.message);
        // It stays failed: a buffer is given at once, and nothing more is taken.
        (void)worker.value()->next();
        EXPECT_EQ(worker.value()->handOver(1).error().message, c.message);
        EXPECT_EQ(worker.value()->drain().error().message, c.message);
    }
}

TEST(ChunkWorkerTest, AnAbandonedWorkerStopsWithoutTakingTheRest) {
    using namespace std::chrono_literals;
    int taken = 0;
    auto worker = ChunkWorker::start(10, 4, {[&](std::span<const std::byte>) {
                                         std::this_thread::sleep_for(50ms);
                                         ++taken;
                                         return Status();
                                     }});
    ASSERT_TRUE(worker.ok());
    for (int i = 0; i < 4; ++i) {
        (void)worker.value()->next();
        ASSERT_TRUE(worker.value()->handOver(10).ok());
    }
    worker.value().reset();
    EXPECT_LT(taken, 4);
}

} // namespace
} // namespace dividra::core
