#pragma once

#include "core/transfer/Sha256.h"
#include "platform/Result.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <thread>
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
    ~ChunkWorker();
    ChunkWorker(const ChunkWorker&) = delete;
    ChunkWorker& operator=(const ChunkWorker&) = delete;

    // The buffer for the next read, the same one until handOver. Waits while every buffer
    // holds a chunk not yet taken by all.
    std::span<std::byte> next();
    // Gives the threads the first `size` bytes of the buffer next() gave. The first error of a
    // function once one failed: from then on nothing is taken.
    Status handOver(std::size_t size);
    // Hands over an empty chunk: a point in the stream, such as a segment's end, that each
    // function meets in order. Errors as handOver.
    Status mark();
    // Waits until every chunk handed over was taken by all; the first error when a function
    // failed (one that threw counts as failed).
    Status drain();

private:
    ChunkWorker(std::size_t slotSize, std::size_t slots, std::vector<Consume> consumers);
    void run(std::size_t consumer, const std::stop_token& stop);
    Status consumeSlot(std::size_t consumer, std::size_t index, std::size_t size);
    std::size_t slowest() const;
    // Whether the copy, waiting in next() or drain(), may go on; in drain() m_copyWaits is
    // false, so only when every chunk was taken.
    bool copyMayGoOn() const;

    std::size_t m_slotSize;
    std::size_t m_slots;
    std::vector<Consume> m_consumers;
    std::unique_ptr<std::byte[]> m_bytes;
    std::unique_ptr<std::size_t[]> m_sizes;
    std::mutex m_mutex;
    // Two sides, each woken only when it waits: the copy, and the threads.
    std::condition_variable m_copySide;
    std::condition_variable_any m_threadSide;
    bool m_copyWaits = false;
    bool m_drainWaits = false;
    int m_threadsWaiting = 0;
    int m_inUse = 0;                  // threads running their function on a buffer
    std::size_t m_handed = 0;         // chunks handed over so far
    std::vector<std::size_t> m_taken; // per function, chunks it is done with
    std::optional<Error> m_error;
    // Last, so the threads are stopped and joined before anything they use goes away.
    std::vector<std::jthread> m_threads;
};

// A function for a worker thread that feeds every chunk to `hash`.
ChunkWorker::Consume HashInto(Sha256& hash);

} // namespace dividra::core
