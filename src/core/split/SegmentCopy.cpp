#include "core/split/SegmentCopy.h"

#include "core/transfer/SafeWrite.h"

#include <algorithm>
#include <span>

namespace dividra::core {

Result<std::unique_ptr<platform::File>> OpenSource(platform::FileSystem& fs,
                                                   std::string_view longPath) {
    auto source = fs.openRead(longPath);
    if (!source) {
        return WithAction("Can't open", source.error());
    }
    return source;
}

Status CopySegment(platform::FileSystem& fs, platform::File& source, std::string_view segmentPath,
                   std::int64_t length, FlushPolicy flush, Transfer& transfer,
                   SplitProgress& progress, CopyObserver& observer) {
    if (const Status refused = CheckTarget(fs, source.id(), segmentPath); !refused) {
        return refused;
    }
    auto created = fs.createAlways(segmentPath);
    if (!created) {
        return WithAction("Can't create", created.error());
    }
    ++progress.segmentsCreated;
    platform::File& segment = *created.value();
    const auto write = [&](std::span<const std::byte> chunk) {
        const Status status = flush == FlushPolicy::Buffer
                                  ? WriteThrough(segment, segmentPath, chunk)
                                  : WriteAll(segment, segmentPath, chunk);
        if (status) {
            observer.afterBuffer();
        }
        return status;
    };
    // The whole source's count: a later segment's early end is told against the whole.
    const auto shortened = [&](std::int64_t) {
        return EndedEarly(progress.sourcePath, progress.count.done(), progress.sourceSize,
                          "; it was shortened after it was chosen");
    };
    Status copied = transfer.pump(source, length, write, shortened);
    if (copied && flush == FlushPolicy::Segment) {
        copied = FlushWritten(segment);
    }
    return CloseAfter(segment, copied);
}

} // namespace dividra::core
