#pragma once

#include "core/recovery/RecoveryWriter.h"
#include "core/set/ChecksumFile.h"
#include "core/split/SegmentCopy.h"
#include "core/split/SplitCommand.h"
#include "core/split/SplitHost.h"
#include "core/transfer/Sha256.h"
#include "core/transfer/Transfer.h"
#include "platform/FileSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the hard-drive and the floppy split share: the open source, the running progress, the
// copy of one segment, and the orderly ends.
namespace dividra::core {

enum class BufferPause {
    None,   // the hard-drive split processes no messages while it copies
    Floppy, // messages after every buffer, and on the "95" platform kind a 0.432 s pause
};

class SplitRun final : public CopyObserver {
public:
    SplitRun(SplitHost& host, platform::FileSystem& fs, const SplitRequest& inputs,
             BufferPause pause);
    ~SplitRun() override;
    SplitRun(const SplitRun&) = delete;
    SplitRun& operator=(const SplitRun&) = delete;

    // Opens the source for the whole split. Why not, as the split's end (nothing written).
    std::optional<SplitResult> openSource();
    void closeSource();
    // Keeps other splits out of the destination folder (a diskette drive's root) until this
    // run ends. Why not, as the split's end, the source closed (nothing written).
    std::optional<SplitResult> lockDestination(const std::string& folder);
    const std::optional<platform::FileId>& sourceId() const { return m_sourceId; }

    // The base name segments carry: the 8.3 alias or the long name of the source.
    std::string baseName() const;
    std::int64_t bytesRead() const { return m_count.done(); }
    std::int64_t bytesLeft() const { return m_inputs.sourceSize - m_count.done(); }

    // Before the first segment of a set goes into a folder (or onto a diskette): the old
    // descriptor, checksum file and recovery files of its name removed (and the removal
    // flushed), as RemoveOldSetFiles and RemoveOldRecoveryFiles say, `checksumsHere` when the
    // new checksum file goes there; what they left alone is told to the host as a note.
    Status removeOldSet(const std::string& descriptorPath, bool checksumsHere);

    // Plans the recovery files for these segments, before the first is copied (the source's
    // head of each is read for it). The plan's refusal or a failed read.
    Status startRecovery(std::vector<RecoverySegment> segments);
    // For diskettes, whose segments' lengths are known only once they are written: plans the
    // recovery files for them and takes their data in a pass over the source, still open.
    Status takeRecoveryFromSource(std::vector<RecoverySegment> segments);
    bool hasRecovery() const { return m_recovery != nullptr; }
    // The index file's bytes, once the recovery data is taken; 0 without recovery.
    std::int64_t recoveryIndexBytes() const;
    // The recovery volumes of a diskette set, after the descriptor, where `place` puts them.
    Status writeRecoveryVolumes(const PlaceVolume& place);

    // Copies the next `length` bytes of the source into a new segment at `path` (see
    // CopySegment), the hashes, with checksums, taking them on their threads; after the last
    // segment it waits until every digest is in. The error that stopped it, Cancelled
    // when the host asked to stop.
    Status copySegment(const std::string& path, std::int64_t length);
    // The size of the checksum file writeDescriptor would write for the segments copied so far;
    // its digests aren't known before then, but their length is.
    std::int64_t checksumFileBytes() const;
    // The commit of the set: the folder flushed with every segment's entry, the recovery files
    // (on diskettes only the index: writeRecoveryVolumes adds the volumes after), the checksum
    // file, then the descriptor, each flushed, then the folder again. Only after the
    // last segment was copied, which waits for the hashing to finish.
    Status writeDescriptor(const std::string& lastSegmentPath, int segmentCount);

    // The orderly ends after the busy state was set: source closed, busy state cleared,
    // progress back to 0, and the one message saying what happened. A copy stopped on the
    // host's request is Cancelled, any other failure Failed.
    SplitResult failCopy(const Error& error);
    SplitResult failDescriptor(const Error& error);

    void afterBuffer() override;

private:
    Status startHashing();
    SplitResult endWithError(const std::string& message,
                             SplitOutcome outcome = SplitOutcome::Failed);
    Status flushFolderOf(const std::string& path);
    // The checksum file's lines: the segments' digests in order, then the whole source's.
    std::vector<ChecksumLine> checksumLines(const std::vector<std::string>& segmentDigests,
                                            const std::string& wholeDigest) const;
    // Diskettes always flush every buffer: one is pulled out right after its prompt.
    FlushPolicy flushPolicy() const;

    SplitHost& m_host;
    platform::FileSystem& m_fs;
    const SplitRequest& m_inputs;
    BufferPause m_pause;
    std::unique_ptr<platform::File> m_source;
    std::unique_ptr<platform::FolderLock> m_lock;
    std::optional<platform::FileId> m_sourceId;
    ProgressCount m_count;
    SplitProgress m_progress;
    std::optional<Sha256> m_segmentHash; // with checksums only
    std::optional<Sha256> m_wholeHash;
    std::vector<std::string> m_segmentNames;    // of the segments copied, with checksums only
    std::vector<std::string> m_segmentDigests;  // taken on the hashing thread at each mark
    std::unique_ptr<RecoveryWriter> m_recovery; // with recovery files only
    // Reads the source; its consumers feed both hashes, each on a thread. After them, so that
    // it stops before they go.
    Transfer m_transfer;
};

} // namespace dividra::core
