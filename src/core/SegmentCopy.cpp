#include "core/SegmentCopy.h"

#include "core/SafeWrite.h"

#include <algorithm>
#include <span>

namespace dividra::core {
namespace {

std::string bytesText(std::int64_t bytes) {
    return std::to_string(bytes);
}

Status copyChunks(platform::File& source, platform::File& segment, std::string_view segmentPath,
                  std::int64_t length, std::span<std::byte> buffer, FlushPolicy flush,
                  SplitProgress& progress, CopyObserver& observer) {
    std::int64_t written = 0;
    while (written < length) {
        const auto chunkSize = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), length - written));
        const auto read = source.read(buffer.first(chunkSize));
        if (!read) {
            return WithAction("Can't read", read.error());
        }
        const std::size_t got = read.value();
        if (got == 0) {
            return Error{ErrorCode::Io, "Can't read " + progress.sourcePath + ": it ended after " +
                                            bytesText(progress.bytesRead) + " of " +
                                            bytesText(progress.sourceSize) +
                                            " bytes; it was shortened after it was chosen"};
        }
        const auto chunk = buffer.first(got);
        if (progress.wholeHash != nullptr) {
            progress.segmentHash->update(chunk);
            progress.wholeHash->update(chunk);
        }
        const Status status = flush == FlushPolicy::Buffer
                                  ? WriteThrough(segment, segmentPath, chunk)
                                  : WriteAll(segment, segmentPath, chunk);
        if (!status) {
            return status;
        }
        written += static_cast<std::int64_t>(got);
        progress.bytesRead += static_cast<std::int64_t>(got);
        observer.afterBuffer();
        const int parts = ProgressParts(progress.bytesRead, progress.sourceSize);
        if (parts != progress.shownParts) {
            progress.shownParts = parts;
            observer.progressChanged(parts);
        }
    }
    return flush == FlushPolicy::Segment ? FlushWritten(segment) : Status();
}

} // namespace

int ProgressParts(std::int64_t bytesRead, std::int64_t sourceSize) {
    if (sourceSize <= 0 || bytesRead <= 0) {
        return 0;
    }
    const std::int64_t parts = std::min(bytesRead, sourceSize) * kProgressParts / sourceSize;
    return static_cast<int>(parts);
}

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
    const auto buffer = std::make_unique_for_overwrite<std::byte[]>(bufferSize);
    auto created = fs.createAlways(segmentPath);
    if (!created) {
        return WithAction("Can't create", created.error());
    }
    ++progress.segmentsCreated;
    platform::File& segment = *created.value();
    const Status copied =
        copyChunks(source, segment, segmentPath, length,
                   std::span<std::byte>(buffer.get(), bufferSize), flush, progress, observer);
    return CloseAfter(segment, copied);
}

} // namespace dividra::core
