#pragma once

#include "core/split/SplitHost.h"
#include "core/transfer/Progress.h"
#include "core/transfer/Transfer.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Copying the source, segment by segment, into segment files.
namespace dividra::core {

inline constexpr std::size_t kHardDriveBufferSize = 49152;
inline constexpr std::size_t kFloppyBufferSize = 32767;
// The running state of one split, carried from segment to segment: what the source is, and
// how far the transfer that reads it has come.
struct SplitProgress {
    std::string sourcePath; // for messages
    std::int64_t sourceSize = 0;
    ProgressCount& count;    // bytes read of the source so far in this split
    int segmentsCreated = 0; // segment files created so far in this split
};

// Who watches a copy: given control after every buffer.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    // Called after each buffer is written and flushed, before the progress is counted (the
    // floppy split pauses and processes window messages here).
    virtual void afterBuffer() {}
};

// Opens the source for the whole split: reading only, others may read but not write it.
Result<std::unique_ptr<platform::File>> OpenSource(platform::FileSystem& fs,
                                                   std::string_view longPath);

// Copies the next `length` bytes of the open source through `transfer` (its chunks, consumers,
// progress and stop request) into a new file at segmentPath (replacing any file there),
// forcing each buffer to the medium (FlushPolicy::Buffer) or the whole segment once before it
// is closed (FlushPolicy::Segment). On every path out the segment file is closed; the source
// stays open for the caller. Fails, without looping, when the source ends ("it was shortened
// after it was chosen") or fails before `length` bytes, when a write, flush or close fails or
// comes back short, when the transfer stops (Cancelled), and when CheckTarget refuses
// segmentPath (the source itself, a folder of that name, ...), which is then left untouched.
// Error messages name the path and the reason.
Status CopySegment(platform::FileSystem& fs, platform::File& source, std::string_view segmentPath,
                   std::int64_t length, FlushPolicy flush, Transfer& transfer,
                   SplitProgress& progress, CopyObserver& observer);

} // namespace dividra::core
