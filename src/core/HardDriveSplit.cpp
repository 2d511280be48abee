#include "core/HardDriveSplit.h"

#include "core/Descriptor.h"
#include "core/Notifications.h"
#include "core/SafeWrite.h"
#include "core/SegmentPath.h"
#include "core/SegmentPlan.h"
#include "core/SplitMessages.h"
#include "core/SplitRun.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "util/NumberText.h"

#include <algorithm>

namespace dividra::core {
namespace {

// Free space of the file system the segments go to against the size plus room per shown
// segment and one more: 512 bytes, or the allocation unit when larger, since every file ends
// in a partly used one. 64 bits, so a large volume never wraps; an unknown figure (-1) passes.
bool hasRoom(platform::FileSystem& fs, const SplitInputs& inputs) {
    const platform::FolderSpace space = fs.folderSpace(inputs.destinationFolder);
    const std::int64_t shownCount = TextToInt(inputs.segmentCountText);
    const std::int64_t room = std::max<std::int64_t>(kDescriptorRoom, space.unit);
    return space.freeBytes < 0 || space.freeBytes >= inputs.sourceSize + room * (shownCount + 1);
}

// Refuses up front a split that a target name would stop or turn against the source itself,
// so not even the segments before it are written.
Status checkTargets(platform::FileSystem& fs, const SplitRun& run, const std::string& prefix,
                    std::int64_t segmentBytes, std::int64_t sourceSize) {
    const std::int64_t count = SegmentCount(sourceSize, segmentBytes);
    for (std::int64_t n = 0; n < count; ++n) {
        const std::string path = SegmentPath(prefix, run.baseName(), static_cast<int>(n));
        if (const Status refused = CheckTarget(fs, run.sourceId(), path); !refused) {
            return refused;
        }
    }
    const std::string last = SegmentPath(prefix, run.baseName(), static_cast<int>(count) - 1);
    return CheckTarget(fs, run.sourceId(), DescriptorPath(last));
}

SplitOutcome copyAll(SplitHost& host, SplitRun& run, const std::string& prefix,
                     std::int64_t segmentBytes, std::int64_t sourceSize) {
    std::int64_t length = std::min(segmentBytes, sourceSize);
    int n = 0;
    std::string path;
    while (run.bytesRead() < sourceSize) {
        length = std::min(length, run.bytesLeft());
        path = SegmentPath(prefix, run.baseName(), n);
        if (const Status copied = run.copySegment(path, length, kHardDriveBufferSize); !copied) {
            return run.failCopy(copied.error());
        }
        ++n;
    }
    run.closeSource();
    if (const Status written = run.writeDescriptor(path, n); !written) {
        return run.failDescriptor(written.error());
    }
    PlaySplitFinishedSound(host);
    host.setBusy(false);
    ShowSplitFinishedMessage(host);
    host.setProgress(0);
    return SplitOutcome::Completed;
}

} // namespace

SplitOutcome SplitToHardDrive(SplitHost& host, platform::FileSystem& fs,
                              const SplitInputs& inputs) {
    if (!hasRoom(fs, inputs)) {
        host.showErrorMessage(text::InsufficientSpaceMessage(inputs.destinationDrive));
        return SplitOutcome::Refused;
    }
    SplitRun run(host, fs, inputs, BufferPause::None);
    if (!run.openSource()) {
        return SplitOutcome::Failed;
    }
    if (!run.lockDestination(inputs.destinationFolder)) {
        return SplitOutcome::Refused;
    }
    const std::string prefix = HardDrivePrefix(inputs.destinationFolder);
    const std::int64_t segmentBytes = SegmentSizeBytes(inputs);
    if (const Status refused = checkTargets(fs, run, prefix, segmentBytes, inputs.sourceSize);
        !refused) {
        run.closeSource();
        host.showErrorMessage(text::NothingWrittenMessage(refused.error().message));
        return SplitOutcome::Refused;
    }
    host.setBusy(true);
    if (ReadSettingInt(keys::kHardDriveOptions, keys::kMinimizeWhileSplitting, 0) == 1) {
        host.minimize();
    }
    return copyAll(host, run, prefix, segmentBytes, inputs.sourceSize);
}

} // namespace dividra::core
