#include "core/split/SplitRun.h"

#include "core/recovery/OldRecoveryFiles.h"
#include "core/set/Descriptor.h"
#include "core/set/OldSetFiles.h"
#include "core/set/SegmentPath.h"
#include "core/split/SplitMessages.h"
#include "core/transfer/SafeWrite.h"

#include <algorithm>
#include <chrono>

namespace dividra::core {
namespace {

constexpr auto kWin95Pause = std::chrono::milliseconds(432);
// About a segment's flush worth of hashing (1.5 MB of 48 KB buffers): the hashing catches up
// while the copy waits for the disk, instead of holding the copy up between flushes.
constexpr std::size_t kHashSlots = 32;

} // namespace

SplitRun::SplitRun(SplitHost& host, platform::FileSystem& fs, const SplitRequest& inputs,
                   BufferPause pause)
    : m_host(host), m_fs(fs), m_inputs(inputs), m_pause(pause),
      m_count(inputs.sourceSize, [&host](int parts) { host.setProgress(parts); }),
      m_progress{inputs.sourceLongPath, inputs.sourceSize, m_count, 0},
      m_transfer(inputs.destination == Destination::Floppy ? kFloppyBufferSize
                                                           : kHardDriveBufferSize,
                 &m_count, [&host] { return host.stopRequested(); }) {
    if (inputs.checksums) {
        m_segmentHash.emplace();
        m_wholeHash.emplace();
    }
}

SplitRun::~SplitRun() {
    closeSource();
}

std::optional<SplitResult> SplitRun::openSource() {
    auto opened = OpenSource(m_fs, m_inputs.sourceLongPath);
    if (!opened) {
        return SplitResult{SplitOutcome::Failed,
                           text::NothingWrittenMessage(opened.error().message)};
    }
    m_source = std::move(opened).value();
    m_sourceId = m_source->id();
    return std::nullopt;
}

std::optional<SplitResult> SplitRun::lockDestination(const std::string& folder) {
    auto lock = m_fs.lockFolder(folder);
    if (!lock) {
        closeSource();
        return SplitResult{SplitOutcome::Refused,
                           text::NothingWrittenMessage(lock.error().message)};
    }
    m_lock = std::move(lock).value();
    return std::nullopt;
}

void SplitRun::closeSource() {
    if (m_source) {
        (void)m_source->close();
        m_source.reset();
    }
}

std::string SplitRun::baseName() const {
    return std::string(
        FileNamePart(m_inputs.dosNames ? m_inputs.sourceShortPath : m_inputs.sourceLongPath));
}

// A thread for each hash, so that the copy itself only reads and writes. A mark ends a
// segment: its digest is taken there, so the copy never waits for it.
Status SplitRun::startHashing() {
    const auto segments = [this](std::span<const std::byte> chunk) {
        if (chunk.empty()) {
            m_segmentDigests.push_back(m_segmentHash->hexDigest());
        } else {
            m_segmentHash->update(chunk);
        }
        return Status();
    };
    std::vector<ChunkWorker::Consume> consumers;
    if (m_segmentHash) {
        consumers = {segments, HashInto(*m_wholeHash)};
    }
    if (m_recovery) {
        for (ChunkWorker::Consume& consumer : m_recovery->consumers()) {
            consumers.push_back(std::move(consumer));
        }
    }
    return m_transfer.startConsumers(kHashSlots, std::move(consumers));
}

Status SplitRun::startRecovery(std::vector<RecoverySegment> segments) {
    auto writer = RecoveryWriter::start(*m_source, m_inputs.sourceLongPath, std::move(segments),
                                        m_inputs.recovery);
    if (!writer) {
        return writer.error();
    }
    m_recovery = std::move(writer).value();
    return {};
}

Status SplitRun::copySegment(const std::string& path, std::int64_t length) {
    const bool consuming = m_segmentHash || m_recovery;
    if (consuming && !m_transfer.hasConsumers()) {
        if (const Status started = startHashing(); !started) {
            return started;
        }
    }
    const Status copied =
        CopySegment(m_fs, *m_source, path, length, flushPolicy(), m_transfer, m_progress, *this);
    if (!copied || !consuming) {
        return copied;
    }
    if (m_segmentHash) {
        m_segmentNames.emplace_back(FileNamePart(path));
    }
    if (const Status marked = m_transfer.mark(); !marked) {
        return marked;
    }
    // After the last segment every digest must be in before the split may end.
    return bytesLeft() == 0 ? m_transfer.drain() : Status();
}

Status SplitRun::takeRecoveryFromSource(std::vector<RecoverySegment> segments) {
    auto writer =
        RecoveryWriter::start(*m_source, m_inputs.sourceLongPath, std::move(segments),
                              m_inputs.recovery, kRecoveryPassBytes, kDisketteSlicesPerSegment);
    if (!writer) {
        return writer.error();
    }
    m_recovery = std::move(writer).value();
    const Status pass =
        m_recovery->passOverSource(m_fs, *m_source, [this] { return m_host.stopRequested(); });
    return pass ? m_recovery->seal() : pass;
}

std::int64_t SplitRun::recoveryIndexBytes() const {
    return m_recovery ? m_recovery->indexBytes() : 0;
}

Status SplitRun::writeRecoveryVolumes(const PlaceVolume& place) {
    const std::string descriptor(FileNamePart(DescriptorPath(SegmentPath("", baseName(), 0))));
    const std::string base = descriptor.substr(0, descriptor.rfind('.'));
    return m_recovery->writeVolumes(m_fs, base, place, [this] { return m_host.stopRequested(); });
}

Status SplitRun::removeOldSet(const std::string& descriptorPath, bool checksumsHere) {
    const auto old = RemoveOldSetFiles(m_fs, descriptorPath, m_sourceId, checksumsHere);
    if (!old) {
        return old.error();
    }
    const auto recovery =
        RemoveOldRecoveryFiles(m_fs, descriptorPath, m_sourceId, m_inputs.recovery > 0);
    if (!recovery) {
        return recovery.error();
    }
    for (const OldSetFiles* files :
         std::initializer_list<const OldSetFiles*>{&old.value(), &recovery.value()}) {
        for (const std::string& kept : files->kept) {
            m_host.note(kept);
        }
    }
    return old.value().removed || recovery.value().removed ? flushFolderOf(descriptorPath)
                                                           : Status();
}

Status SplitRun::flushFolderOf(const std::string& path) {
    if (const Status flushed = m_fs.flushFolder(FolderPart(path)); !flushed) {
        return WithAction("Can't write", flushed.error());
    }
    return {};
}

Status SplitRun::writeDescriptor(const std::string& lastSegmentPath, int segmentCount) {
    // Every segment's entry is on the disk before the descriptor says the set is whole.
    if (const Status flushed = flushFolderOf(lastSegmentPath); !flushed) {
        return flushed;
    }
    if (m_recovery) {
        const std::string index = ReplaceExtension(lastSegmentPath, kRecoveryExtension);
        const Status recovery =
            m_inputs.destination == Destination::Floppy
                ? m_recovery->writeIndex(m_fs, index)
                : m_recovery->finish(m_fs, index, [this] { return m_host.stopRequested(); });
        if (!recovery) {
            return recovery;
        }
    }
    if (m_wholeHash) {
        const Status hashes = WriteSmallFile(
            m_fs, ReplaceExtension(lastSegmentPath, kChecksumExtension),
            ChecksumText(checksumLines(m_segmentDigests, m_wholeHash->hexDigest())), m_sourceId);
        if (!hashes) {
            return hashes;
        }
    }
    const Status written = WriteDescriptor(m_fs, lastSegmentPath, m_inputs.sourceExtension,
                                           segmentCount, m_inputs.sourceSize, m_sourceId);
    return written ? flushFolderOf(lastSegmentPath) : written;
}

std::vector<ChecksumLine> SplitRun::checksumLines(const std::vector<std::string>& segmentDigests,
                                                  const std::string& wholeDigest) const {
    std::vector<ChecksumLine> lines;
    for (std::size_t i = 0; i < m_segmentNames.size() && i < segmentDigests.size(); ++i) {
        lines.push_back({segmentDigests[i], m_segmentNames[i]});
    }
    lines.push_back({wholeDigest, std::string(FileNamePart(m_inputs.sourceLongPath))});
    return lines;
}

std::int64_t SplitRun::checksumFileBytes() const {
    const std::string digest(kDigestLength, '0');
    const std::vector<std::string> digests(m_segmentNames.size(), digest);
    return static_cast<std::int64_t>(ChecksumText(checksumLines(digests, digest)).size());
}

FlushPolicy SplitRun::flushPolicy() const {
    return m_inputs.destination == Destination::Floppy ? FlushPolicy::Buffer : m_inputs.flush;
}

SplitResult SplitRun::failCopy(const Error& error) {
    const SplitOutcome outcome =
        error.code == ErrorCode::Cancelled ? SplitOutcome::Cancelled : SplitOutcome::Failed;
    if (m_progress.segmentsCreated == 0) {
        return endWithError(text::NothingWrittenMessage(error.message), outcome);
    }
    return endWithError(text::SplitFailedMessage(error.message), outcome);
}

SplitResult SplitRun::failDescriptor(const Error& error) {
    return endWithError(text::DescriptorFailedMessage(error.message));
}

SplitResult SplitRun::endWithError(const std::string& message, SplitOutcome outcome) {
    closeSource();
    m_host.setBusy(false);
    m_host.setProgress(0);
    return {outcome, message};
}

void SplitRun::afterBuffer() {
    if (m_pause == BufferPause::None) {
        return;
    }
    if (m_inputs.pause == DiskettePause::Win95) {
        const auto start = m_host.now();
        while (m_host.now() - start < kWin95Pause) {
            m_host.processMessages();
        }
    }
    m_host.processMessages();
}

} // namespace dividra::core
