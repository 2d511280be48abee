#pragma once

#include "core/transfer/ChunkWorker.h"
#include "core/transfer/Progress.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// The one transfer pipeline of the engine: a split's segments, a join's output, a check's
// hashing. It owns the buffer (its own, or the consumers' while they run), the hand-off to the
// consumers beside the copy, the progress count, the stop request and the words for a file that
// ended early; each user gives only what it does with a chunk.
namespace dividra::core {

// "Can't read c:\in\data.001: it ended after 10 of 20 bytes", and `why` after it when given
// ("; it was shortened after it was chosen").
Error EndedEarly(std::string_view path, std::int64_t done, std::int64_t length,
                 std::string_view why = {});

// What a transfer stopped on request gives: Cancelled, "Interrupted.".
Error StoppedOnRequest();

class Transfer {
public:
    using Sink = std::function<Status(std::span<const std::byte>)>;

    // Chunks of up to `chunkSize` bytes, counted into `progress` when given (it outlives the
    // transfer, or the next countInto); after every chunk `stop` (when given) may end the
    // transfer with StoppedOnRequest().
    Transfer(std::size_t chunkSize, ProgressCount* progress, std::function<bool()> stop = {});
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // From now on every chunk also goes to `consumers`, each on a thread of its own, over
    // `slots` buffers taking turns (see ChunkWorker): a hash, later any accumulator. An error
    // when a thread can't be started.
    Status startConsumers(std::size_t slots, std::vector<ChunkWorker::Consume> consumers);
    bool hasConsumers() const { return m_consumers != nullptr; }
    // The count the next chunks go into; nullptr counts none.
    void countInto(ProgressCount* progress) { m_progress = progress; }

    // Moves exactly the next `length` bytes of `in` through: each chunk is handed to the
    // consumers first, then to `sink`, then counted. Stops at a failed read ("Can't read
    // <path>: ..."), an early end (`endedEarly` of the bytes this call moved, which words it
    // with EndedEarly), a refused chunk, a consumer's failure and a stop request.
    Status pump(platform::File& in, std::int64_t length, const Sink& sink,
                const std::function<Error(std::int64_t done)>& endedEarly);
    // The consumers see a mark here (an empty chunk): the end of a segment.
    Status mark();
    // Waits until the consumers took every chunk; the first failure of theirs.
    Status drain();

private:
    std::span<std::byte> nextBuffer();

    std::size_t m_chunkSize;
    ProgressCount* m_progress;
    std::function<bool()> m_stop;
    std::unique_ptr<std::byte[]> m_own; // while there are no consumers
    std::unique_ptr<ChunkWorker> m_consumers;
};

} // namespace dividra::core
