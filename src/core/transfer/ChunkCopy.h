#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// The one read loop of every copy: a split's segments, a join's output, a check's hashing.
namespace dividra::core {

struct ChunkCopy {
    // The buffer the next read fills, never empty: one reused, or a hash worker's next free one.
    std::function<std::span<std::byte>()> buffer;
    // Given each chunk read, in order; its error stops the copy.
    std::function<Status(std::span<const std::byte>)> take;
    // The error for a file that ended after `done` of the bytes asked.
    std::function<Error(std::int64_t done)> endedEarly;
};

// Reads exactly `length` bytes of `in`, each read at most a buffer long, and hands each chunk
// on. Stops at a failed read ("Can't read ..."), an early end or the first refused chunk.
Status CopyChunks(platform::File& in, std::int64_t length, const ChunkCopy& copy);

} // namespace dividra::core
