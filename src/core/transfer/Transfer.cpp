#include "core/transfer/Transfer.h"

#include "core/transfer/SafeWrite.h"

#include <algorithm>
#include <string>

namespace dividra::core {

Error EndedEarly(std::string_view path, std::int64_t done, std::int64_t length,
                 std::string_view why) {
    return Error{ErrorCode::Io, "Can't read " + std::string(path) + ": it ended after " +
                                    std::to_string(done) + " of " + std::to_string(length) +
                                    " bytes" + std::string(why)};
}

Error StoppedOnRequest() {
    return Error{ErrorCode::Cancelled, "Interrupted."};
}

Transfer::Transfer(std::size_t chunkSize, ProgressCount* progress, std::function<bool()> stop)
    : m_chunkSize(chunkSize), m_progress(progress), m_stop(std::move(stop)),
      m_own(std::make_unique_for_overwrite<std::byte[]>(chunkSize)) {}

Transfer::~Transfer() = default;

Status Transfer::startConsumers(std::size_t slots, std::vector<ChunkWorker::Consume> consumers) {
    auto started = ChunkWorker::start(m_chunkSize, slots, std::move(consumers));
    if (!started) {
        return started.error();
    }
    m_consumers = std::move(started).value();
    m_own.reset();
    return {};
}

std::span<std::byte> Transfer::nextBuffer() {
    if (!m_consumers) {
        return {m_own.get(), m_chunkSize};
    }
    const std::span<std::byte> slot = m_consumers->next();
    return slot.first(std::min(m_chunkSize, slot.size()));
}

// Handed to the consumers before the sink takes it, so that both work at once: both only read
// the buffer, which no read fills again until both are done.
Status Transfer::pump(platform::File& in, std::int64_t length, const Sink& sink,
                      const std::function<Error(std::int64_t done)>& endedEarly) {
    for (std::int64_t done = 0; done < length;) {
        const std::span<std::byte> buffer = nextBuffer();
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), length - done));
        const auto read = in.read(buffer.first(want));
        if (!read) {
            return WithAction("Can't read", read.error());
        }
        if (read.value() == 0) {
            return endedEarly(done);
        }
        const std::span<const std::byte> chunk = buffer.first(read.value());
        if (m_consumers) {
            if (const Status handed = m_consumers->handOver(chunk.size()); !handed) {
                return handed;
            }
        }
        if (const Status taken = sink(chunk); !taken) {
            return taken;
        }
        done += static_cast<std::int64_t>(chunk.size());
        if (m_progress != nullptr) {
            m_progress->add(static_cast<std::int64_t>(chunk.size()));
        }
        if (m_stop && m_stop()) {
            return StoppedOnRequest();
        }
    }
    return {};
}

Status Transfer::mark() {
    return m_consumers ? m_consumers->mark() : Status();
}

Status Transfer::drain() {
    return m_consumers ? m_consumers->drain() : Status();
}

} // namespace dividra::core
