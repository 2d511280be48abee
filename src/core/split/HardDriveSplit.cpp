#include "core/split/HardDriveSplit.h"

#include "core/recovery/RecoveryPlan.h"
#include "core/recovery/RecoveryWriter.h"
#include "core/set/ChecksumFile.h"
#include "core/set/Descriptor.h"
#include "core/set/SegmentPath.h"
#include "core/split/Notifications.h"
#include "core/split/SegmentPlan.h"
#include "core/split/SplitMessages.h"
#include "core/split/SplitRun.h"
#include "core/transfer/SafeWrite.h"
#include "util/NumberText.h"

#include <algorithm>

namespace dividra::core {
namespace {

// Free space of the file system the segments go to against the size plus room per shown
// segment and one more: 512 bytes, or the allocation unit when larger, since every file ends
// in a partly used one; with recovery files, their bytes and room for each of them too. 64
// bits, so a large volume never wraps; an unknown figure (-1) passes.
bool hasRoom(platform::FileSystem& fs, const SplitRequest& inputs) {
    const platform::FolderSpace space = fs.folderSpace(inputs.destinationFolder);
    const std::int64_t shownCount = inputs.segmentCount;
    const std::int64_t room = std::max<std::int64_t>(kDescriptorRoom, space.unit);
    const std::int64_t recovery =
        inputs.recovery > 0
            ? RecoveryBytesFor(inputs.sourceSize, inputs.segmentBytes, inputs.recovery) +
                  room * (inputs.recovery + 1)
            : 0;
    return space.freeBytes < 0 ||
           space.freeBytes >= inputs.sourceSize + room * (shownCount + 1) + recovery;
}

// Refuses up front a split that a target name would stop or turn against the source itself,
// so not even the segments before it are written: every segment, the checksum file when there
// is to be one, and the descriptor.
Status checkTargets(platform::FileSystem& fs, const SplitRun& run, const SplitRequest& inputs,
                    const std::string& prefix, std::int64_t segmentBytes) {
    const std::int64_t sourceSize = inputs.sourceSize;
    const std::int64_t count = SegmentCount(sourceSize, segmentBytes);
    for (std::int64_t n = 0; n < count; ++n) {
        const std::string path = SegmentPath(prefix, run.baseName(), static_cast<int>(n));
        if (const Status refused = CheckTarget(fs, run.sourceId(), path); !refused) {
            return refused;
        }
    }
    const std::string descriptor = DescriptorPath(SegmentPath(prefix, run.baseName(), 0));
    if (inputs.checksums) {
        const std::string checksums = ReplaceExtension(descriptor, kChecksumExtension);
        if (const Status refused = CheckTarget(fs, run.sourceId(), checksums); !refused) {
            return refused;
        }
    }
    if (inputs.recovery > 0) {
        const std::string index = ReplaceExtension(descriptor, kRecoveryExtension);
        if (const Status refused = CheckTarget(fs, run.sourceId(), index); !refused) {
            return refused;
        }
    }
    return CheckTarget(fs, run.sourceId(), descriptor);
}

// The segments the split will write, for the recovery files' plan.
std::vector<RecoverySegment> plannedSegments(const SplitRun& run, const std::string& prefix,
                                             std::int64_t segmentBytes, std::int64_t sourceSize) {
    std::vector<RecoverySegment> segments;
    for (std::int64_t at = 0; at < sourceSize; at += segmentBytes) {
        segments.push_back({SegmentPath(prefix, run.baseName(), static_cast<int>(segments.size())),
                            std::min(segmentBytes, sourceSize - at)});
    }
    return segments;
}

SplitResult copyAll(SplitHost& host, const SplitOptions& options, SplitRun& run,
                    const std::string& prefix, std::int64_t segmentBytes, std::int64_t sourceSize) {
    std::int64_t length = std::min(segmentBytes, sourceSize);
    int n = 0;
    std::string path;
    while (run.bytesRead() < sourceSize) {
        length = std::min(length, run.bytesLeft());
        path = SegmentPath(prefix, run.baseName(), n);
        if (const Status copied = run.copySegment(path, length); !copied) {
            return run.failCopy(copied.error());
        }
        ++n;
    }
    run.closeSource();
    if (const Status written = run.writeDescriptor(path, n); !written) {
        return run.failDescriptor(written.error());
    }
    PlaySplitFinishedSound(host, options);
    host.setBusy(false);
    ShowSplitFinishedMessage(host, options);
    host.setProgress(0);
    return {};
}

} // namespace

SplitResult SplitToHardDrive(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                             const SplitRequest& inputs) {
    if (!hasRoom(fs, inputs)) {
        return {SplitOutcome::Refused, text::InsufficientSpaceMessage(inputs.destinationDrive)};
    }
    SplitRun run(host, fs, inputs, BufferPause::None);
    if (auto failed = run.openSource()) {
        return *failed;
    }
    if (auto refused = run.lockDestination(inputs.destinationFolder)) {
        return *refused;
    }
    const std::string prefix = HardDrivePrefix(inputs.destinationFolder);
    const std::int64_t segmentBytes = inputs.segmentBytes;
    Status prepared = checkTargets(fs, run, inputs, prefix, segmentBytes);
    if (prepared) {
        prepared = run.removeOldSet(DescriptorPath(SegmentPath(prefix, run.baseName(), 0)),
                                    inputs.checksums);
    }
    if (prepared && inputs.recovery > 0) {
        prepared = run.startRecovery(plannedSegments(run, prefix, segmentBytes, inputs.sourceSize));
    }
    if (!prepared) {
        run.closeSource();
        return {SplitOutcome::Refused, text::NothingWrittenMessage(prepared.error().message)};
    }
    host.setBusy(true);
    if (options.minimizeWhileSplitting(false)) {
        host.minimize();
    }
    return copyAll(host, options, run, prefix, segmentBytes, inputs.sourceSize);
}

} // namespace dividra::core
