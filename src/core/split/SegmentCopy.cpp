#include "core/split/SegmentCopy.h"

#include "core/transfer/ChunkCopy.h"
#include "core/transfer/SafeWrite.h"

#include <algorithm>
#include <span>

namespace dividra::core {
namespace {

std::string bytesText(std::int64_t bytes) {
    return std::to_string(bytes);
}

Error shortened(const SplitProgress& progress) {
    return Error{ErrorCode::Io, "Can't read " + progress.sourcePath + ": it ended after " +
                                    bytesText(progress.bytesRead) + " of " +
                                    bytesText(progress.sourceSize) +
                                    " bytes; it was shortened after it was chosen"};
}

// A buffer that the hasher's slot holds: no longer than the one asked for.
std::span<std::byte> nextBuffer(SplitProgress& progress, std::byte* own, std::size_t size) {
    if (progress.hasher == nullptr) {
        return {own, size};
    }
    const std::span<std::byte> slot = progress.hasher->next();
    return slot.first(std::min(size, slot.size()));
}

// Handed to the hasher before it is written, so that hashing and writing overlap: both only
// read the buffer, which no read fills again until both are done.
Status takeChunk(platform::File& segment, std::string_view segmentPath,
                 std::span<const std::byte> chunk, FlushPolicy flush, SplitProgress& progress,
                 CopyObserver& observer) {
    if (progress.hasher != nullptr) {
        if (const Status handed = progress.hasher->handOver(chunk.size()); !handed) {
            return handed;
        }
    }
    const Status status = flush == FlushPolicy::Buffer ? WriteThrough(segment, segmentPath, chunk)
                                                       : WriteAll(segment, segmentPath, chunk);
    if (!status) {
        return status;
    }
    progress.bytesRead += static_cast<std::int64_t>(chunk.size());
    observer.afterBuffer();
    if (observer.stopRequested()) {
        return Error{ErrorCode::Io, std::string(kInterruptedText)};
    }
    const int parts = ProgressParts(progress.bytesRead, progress.sourceSize);
    if (parts != progress.shownParts) {
        progress.shownParts = parts;
        observer.progressChanged(parts);
    }
    return {};
}

} // namespace

Result<std::unique_ptr<platform::File>> OpenSource(platform::FileSystem& fs,
                                                   std::string_view longPath) {
    auto source = fs.openRead(longPath);
    if (!source) {
        return WithAction("Can't open", source.error());
    }
    return source;
}

Status CopySegment(platform::FileSystem& fs, platform::File& source, std::string_view segmentPath,
                   std::int64_t length, std::size_t bufferSize, FlushPolicy flush,
                   SplitProgress& progress, CopyObserver& observer) {
    if (const Status refused = CheckTarget(fs, source.id(), segmentPath); !refused) {
        return refused;
    }
    std::unique_ptr<std::byte[]> buffer;
    if (progress.hasher == nullptr) {
        buffer = std::make_unique_for_overwrite<std::byte[]>(bufferSize);
    }
    auto created = fs.createAlways(segmentPath);
    if (!created) {
        return WithAction("Can't create", created.error());
    }
    ++progress.segmentsCreated;
    platform::File& segment = *created.value();
    const ChunkCopy copy{[&] { return nextBuffer(progress, buffer.get(), bufferSize); },
                         [&](std::span<const std::byte> chunk) {
                             return takeChunk(segment, segmentPath, chunk, flush, progress,
                                              observer);
                         },
                         [&](std::int64_t) { return shortened(progress); }};
    Status copied = CopyChunks(source, length, copy);
    if (copied && flush == FlushPolicy::Segment) {
        copied = FlushWritten(segment);
    }
    return CloseAfter(segment, copied);
}

} // namespace dividra::core
