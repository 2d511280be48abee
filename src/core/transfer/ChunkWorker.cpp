#include "core/transfer/ChunkWorker.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <system_error>
#include <thread>

namespace dividra::core {

namespace {

// The threads, their buffers and the bookkeeping between them, seen by no includer.
class Threads final : public ChunkWorker {
public:
    Threads(std::size_t slotSize, std::size_t slots, std::vector<Consume> consumers);
    // Each thread's stop request wakes its wait; joining then waits for one chunk at most.
    ~Threads() override = default;

    std::span<std::byte> next() override;
    Status handOver(std::size_t size) override;
    Status mark() override;
    Status drain() override;

    // Starts a thread for each function.
    void startThreads();

private:
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

} // namespace

void Threads::startThreads() {
    for (std::size_t i = 0; i < m_consumers.size(); ++i) {
        m_threads.emplace_back([this, i](std::stop_token stop) { run(i, stop); });
    }
}

Result<std::unique_ptr<ChunkWorker>> ChunkWorker::start(std::size_t slotSize, std::size_t slots,
                                                        std::vector<Consume> consumers) {
    auto worker = std::make_unique<Threads>(slotSize, slots, std::move(consumers));
    try {
        worker->startThreads();
    } catch (const std::system_error& failure) {
        return Error{ErrorCode::Io,
                     std::string("Can't start a checksum thread: ") + failure.what()};
    }
    return std::unique_ptr<ChunkWorker>(std::move(worker));
}

Threads::Threads(std::size_t slotSize, std::size_t slots, std::vector<Consume> consumers)
    : m_slotSize(slotSize), m_slots(slots), m_consumers(std::move(consumers)),
      m_bytes(std::make_unique_for_overwrite<std::byte[]>(slotSize * slots)),
      m_sizes(std::make_unique<std::size_t[]>(slots)), m_taken(m_consumers.size(), 0) {}

std::size_t Threads::slowest() const {
    return m_taken.empty() ? m_handed : *std::min_element(m_taken.begin(), m_taken.end());
}

// A copy waiting for a buffer is woken once half of them are free, not for each one: fewer
// switches between threads. After a failure the others stop at their chunk's end, and then no
// buffer is in use.
bool Threads::copyMayGoOn() const {
    if (m_error) {
        return m_inUse == 0;
    }
    const std::size_t busy = m_handed - slowest();
    return busy == 0 || (m_copyWaits && busy <= m_slots / 2);
}

std::span<std::byte> Threads::next() {
    std::unique_lock lock(m_mutex);
    if (m_error ? m_inUse > 0 : m_handed - slowest() == m_slots) {
        m_threadSide.notify_all();
        m_copyWaits = true;
        m_copySide.wait(lock, [this] { return copyMayGoOn(); });
        m_copyWaits = false;
    }
    return {m_bytes.get() + (m_handed % m_slots) * m_slotSize, m_slotSize};
}

Status Threads::handOver(std::size_t size) {
    const std::lock_guard lock(m_mutex);
    if (m_error) {
        return *m_error;
    }
    m_sizes[m_handed % m_slots] = size;
    ++m_handed;
    // Idle threads are woken for half the buffers at once, not for each chunk.
    if (m_threadsWaiting > 0 && m_handed - slowest() >= std::max<std::size_t>(m_slots / 2, 1)) {
        m_threadSide.notify_all();
    }
    return {};
}

Status Threads::mark() {
    (void)next();
    return handOver(0);
}

Status Threads::drain() {
    std::unique_lock lock(m_mutex);
    m_threadSide.notify_all();
    m_drainWaits = true;
    m_copySide.wait(lock, [this] { return copyMayGoOn(); });
    m_drainWaits = false;
    return m_error ? Status(*m_error) : Status();
}

Status Threads::consumeSlot(std::size_t consumer, std::size_t index, std::size_t size) {
    try {
        return m_consumers[consumer]({m_bytes.get() + index * m_slotSize, size});
    } catch (const std::exception& failure) {
        return Error{ErrorCode::Io, std::string("Can't compute a checksum: ") + failure.what()};
    }
}

void Threads::run(std::size_t consumer, const std::stop_token& stop) {
    std::size_t& taken = m_taken[consumer];
    std::unique_lock lock(m_mutex);
    while (true) {
        ++m_threadsWaiting;
        const bool ready =
            m_threadSide.wait(lock, stop, [&] { return taken < m_handed || m_error; });
        --m_threadsWaiting;
        if (!ready || m_error || stop.stop_requested()) {
            return;
        }
        const std::size_t index = taken % m_slots;
        const std::size_t size = m_sizes[index];
        ++m_inUse;
        lock.unlock();
        const Status consumed = consumeSlot(consumer, index, size);
        lock.lock();
        --m_inUse;
        if (!consumed) {
            m_error = consumed.error();
            m_threadSide.notify_all();
        } else {
            ++taken;
        }
        if ((m_copyWaits || m_drainWaits) && copyMayGoOn()) {
            m_copySide.notify_one();
        }
    }
}

ChunkWorker::Consume HashInto(Sha256& hash) {
    return [&hash](std::span<const std::byte> chunk) {
        hash.update(chunk);
        return Status();
    };
}

} // namespace dividra::core
