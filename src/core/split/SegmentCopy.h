#pragma once

#include "core/split/SplitHost.h"
#include "core/transfer/ChunkWorker.h"
#include "core/transfer/Progress.h"
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
// Why a copy stopped on request.
inline constexpr std::string_view kInterruptedText = "Interrupted.";

// The running state of one split, carried from segment to segment.
struct SplitProgress {
    std::string sourcePath; // for messages
    std::int64_t sourceSize = 0;
    std::int64_t bytesRead = 0; // read from the source so far in this split
    int shownParts = 0;         // what the progress bar shows now
    int segmentsCreated = 0;    // segment files created so far in this split
    // When set, every chunk is read into its buffers and handed to it as it is written.
    ChunkWorker* hasher = nullptr;
};

// Who watches a copy: told of each progress change and given control after every buffer.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    // Called only when the whole number of parts changes.
    virtual void progressChanged(int parts) = 0;
    // Called after each buffer is written and flushed, before the progress is computed
    // (the floppy split pauses and processes window messages here).
    virtual void afterBuffer() {}
    // Asked after each buffer; true stops the copy with kInterruptedText.
    virtual bool stopRequested() { return false; }
};

// Opens the source for the whole split: reading only, others may read but not write it.
Result<std::unique_ptr<platform::File>> OpenSource(platform::FileSystem& fs,
                                                   std::string_view longPath);

// Copies the next `length` bytes of the open source into a new file at segmentPath (replacing
// any file there) through one buffer of bufferSize bytes (or the hasher's, no longer than that),
// forcing each buffer to the medium (FlushPolicy::Buffer) or the whole segment once before it is
// closed (FlushPolicy::Segment). Updates progress and tells the observer. On every path out the
// segment file is closed and the buffer released; the source stays open for the caller. Fails,
// without looping, when the source ends or fails before `length` bytes, when a write, flush or
// close fails or comes back short, and when CheckTarget refuses segmentPath (the source itself, a
// folder of that name, ...), which is then left untouched. Error messages name the path and the
// reason.
Status CopySegment(platform::FileSystem& fs, platform::File& source, std::string_view segmentPath,
                   std::int64_t length, std::size_t bufferSize, FlushPolicy flush,
                   SplitProgress& progress, CopyObserver& observer);

} // namespace dividra::core
