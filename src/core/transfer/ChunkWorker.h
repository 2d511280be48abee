#pragma once

#include "core/transfer/Sha256.h"
#include "platform/Result.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <vector>

// Hashing beside a copy: threads of their own run functions over the chunks the copy read, in
// order, while the copy goes on reading, writing and flushing.
namespace dividra::core {

// The chunks stay where they were read: the copy reads into next(), hands the bytes over and
// goes on using them; a few buffers take turns, so nothing is copied and memory stays bounded.
// Each function gets a thread of its own and every chunk; a buffer is free again once all of
// them took it.
class ChunkWorker {
public:
    using Consume = std::function<Status(std::span<const std::byte>)>;

    // `slots` buffers of `slotSize` bytes. An error when a thread can't be started.
    static Result<std::unique_ptr<ChunkWorker>> start(std::size_t slotSize, std::size_t slots,
                                                      std::vector<Consume> consumers);
    // Stops the threads without waiting for chunks still handed over, so it never hangs.
    virtual ~ChunkWorker() = default;
    ChunkWorker(const ChunkWorker&) = delete;
    ChunkWorker& operator=(const ChunkWorker&) = delete;

    // The buffer for the next read, the same one until handOver. Waits while every buffer
    // holds a chunk not yet taken by all.
    virtual std::span<std::byte> next() = 0;
    // Gives the threads the first `size` bytes of the buffer next() gave. The first error of a
    // function once one failed: from then on nothing is taken.
    virtual Status handOver(std::size_t size) = 0;
    // Hands over an empty chunk: a point in the stream, such as a segment's end, that each
    // function meets in order. Errors as handOver.
    virtual Status mark() = 0;
    // Waits until every chunk handed over was taken by all; the first error when a function
    // failed (one that threw counts as failed).
    virtual Status drain() = 0;

protected:
    ChunkWorker() = default;
};

// A function for a worker thread that feeds every chunk to `hash`.
ChunkWorker::Consume HashInto(Sha256& hash);

} // namespace dividra::core
