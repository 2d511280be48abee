#include "core/transfer/ChunkCopy.h"

#include "core/transfer/SafeWrite.h"

#include <algorithm>

namespace dividra::core {

Status CopyChunks(platform::File& in, std::int64_t length, const ChunkCopy& copy) {
    std::int64_t done = 0;
    while (done < length) {
        const std::span<std::byte> buffer = copy.buffer();
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), length - done));
        const auto read = in.read(buffer.first(want));
        if (!read) {
            return WithAction("Can't read", read.error());
        }
        if (read.value() == 0) {
            return copy.endedEarly(done);
        }
        if (const Status taken = copy.take(buffer.first(read.value())); !taken) {
            return taken;
        }
        done += static_cast<std::int64_t>(read.value());
    }
    return {};
}

} // namespace dividra::core
