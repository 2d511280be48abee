#include "core/join/SegmentRead.h"

#include "core/transfer/SafeWrite.h"

namespace dividra::core {

JoinResult RefusedFor(const std::vector<std::string>& problems) {
    std::string message;
    for (const std::string& problem : problems) {
        message += (message.empty() ? "" : "\n") + problem;
    }
    return {JoinOutcome::Refused, message};
}

JoinResult StoppedBy(const Error& error) {
    if (error.code == ErrorCode::Cancelled) {
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
                                  Transfer& transfer) {
    auto segment = ReopenSegment(fs, entry);
    if (!segment) {
        return segment.error();
    }
    Sha256 hash;
    const Status read = transfer.pump(
        *segment.value(), entry.size,
        [&hash](std::span<const std::byte> chunk) {
            hash.update(chunk);
            return Status();
        },
        [&entry](std::int64_t done) { return EndedEarly(entry.path, done, entry.size); });
    if (!read) {
        return read.error();
    }
    return hash.hexDigest();
}

} // namespace dividra::core
