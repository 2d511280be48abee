#include "core/join/SegmentRead.h"

#include "core/transfer/ChunkCopy.h"
#include "core/transfer/SafeWrite.h"

namespace dividra::core {

JoinResult RefusedFor(const std::vector<std::string>& problems) {
    std::string message;
    for (const std::string& problem : problems) {
        message += (message.empty() ? "" : "\n") + problem;
    }
    return {JoinOutcome::Refused, message};
}

JoinResult StoppedBy(JoinObserver& observer, const Error& error) {
    if (observer.cancelRequested()) {
        return {JoinOutcome::Cancelled, std::string(kCancelledText)};
    }
    return {JoinOutcome::Failed, error.message};
}

std::string SegmentDiffers(const JoinSet& set, std::size_t index) {
    return set.segments[index].path + ": checksum differs from " + set.checksumPath;
}

Result<std::unique_ptr<platform::File>> ReopenSegment(platform::FileSystem& fs,
                                                      const SegmentEntry& segment) {
    auto opened = fs.openUnlinked(segment.path, false);
    if (!opened) {
        return WithAction("Can't open", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size || size.value() != segment.size) {
        return Error{ErrorCode::Io, segment.path + ": changed since it was checked"};
    }
    return opened;
}

Result<std::string> SegmentDigest(platform::FileSystem& fs, const SegmentEntry& entry,
                                  ChunkWorker* hasher, JoinProgress* progress,
                                  JoinObserver& observer) {
    auto segment = ReopenSegment(fs, entry);
    if (!segment) {
        return segment.error();
    }
    std::unique_ptr<std::byte[]> own;
    if (hasher == nullptr) {
        own = std::make_unique_for_overwrite<std::byte[]>(kJoinBufferSize);
    }
    Sha256 hash;
    const auto take = [&](std::span<const std::byte> chunk) -> Status {
        if (hasher != nullptr) {
            if (const Status handed = hasher->handOver(chunk.size()); !handed) {
                return handed;
            }
        }
        hash.update(chunk);
        if (progress != nullptr) {
            progress->add(static_cast<std::int64_t>(chunk.size()));
        }
        return observer.cancelRequested()
                   ? Status(Error{ErrorCode::Io, std::string(kCancelledText)})
                   : Status();
    };
    const ChunkCopy copy{
        [&] { return hasher != nullptr ? hasher->next() : std::span(own.get(), kJoinBufferSize); },
        take, [&](std::int64_t done) { return SegmentEnded(entry.path, done, entry.size); }};
    if (const Status read = CopyChunks(*segment.value(), entry.size, copy); !read) {
        return read.error();
    }
    return hash.hexDigest();
}

} // namespace dividra::core
