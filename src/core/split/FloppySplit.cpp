#include "core/split/FloppySplit.h"

#include "core/recovery/RecoveryPlan.h"
#include "core/recovery/RecoveryWriter.h"
#include "core/set/Descriptor.h"
#include "core/set/SegmentPath.h"
#include "core/split/DisketteErase.h"
#include "core/split/Notifications.h"
#include "core/split/SegmentPlan.h"
#include "core/split/SplitMessages.h"
#include "core/split/SplitRun.h"
#include "core/transfer/Transfer.h"
#include "platform/AsciiText.h"
#include "util/MessageBoxes.h"

#include <algorithm>
#include <optional>
#include <string>

namespace dividra::core {
namespace {

class FloppySplit {
public:
    FloppySplit(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                const SplitRequest& inputs)
        : m_host(host), m_fs(fs), m_options(options), m_inputs(inputs),
          m_run(host, fs, inputs, BufferPause::Floppy),
          m_letter(
              platform::lowerAscii(inputs.floppyDrive.empty() ? 'a' : inputs.floppyDrive.front())),
          m_upperDrive(text::UpperDrive(inputs.floppyDrive)) {}

    SplitResult run();

private:
    std::int64_t freeBytes() const { return m_fs.freeBytes(m_letter - 'a' + 1); }
    std::string segmentPath() const {
        return SegmentPath(FloppyPrefix(m_inputs.floppyDrive), m_run.baseName(), m_segments);
    }
    std::string descriptorPath() const { return DescriptorPath(segmentPath()); }
    bool promptForDiskette() { return promptForDiskette(m_segments + 1); }
    bool promptForDiskette(int number);
    std::optional<std::int64_t> acceptDiskette();
    std::int64_t testDiskette(const std::string& path);
    std::int64_t descriptorRoom() const;
    bool placeDescriptor();
    SplitResult finish();
    Result<VolumePlace> placeVolume(int left, std::int64_t sliceBytes, std::int64_t fixedBytes);
    Status writeVolumes();

    SplitHost& m_host;
    platform::FileSystem& m_fs;
    const SplitOptions& m_options;
    const SplitRequest& m_inputs;
    SplitRun m_run;
    char m_letter;
    std::string m_upperDrive;
    int m_segments = 0; // also the diskettes filled so far
    std::string m_lastSegmentPath;
    int m_inDrive = 0;                      // the number of the diskette in the drive
    std::vector<RecoverySegment> m_written; // for the recovery files
    bool m_cancelled = false;
    std::optional<Error> m_failure; // what stopped acceptDiskette, when not the user
};

// Notify, then ask for diskette `number`; false when the user cancels.
bool FloppySplit::promptForDiskette(int number) {
    NotifyNextDiskette(m_host, m_options);
    if (m_host.askOkCancel(text::InsertDiskettePrompt(number, m_upperDrive)) == IDCANCEL) {
        m_cancelled = true;
    } else {
        m_inDrive = number;
    }
    return !m_cancelled;
}

// The free space before an empty segment file is made; -1 when the diskette can't take it.
std::int64_t FloppySplit::testDiskette(const std::string& path) {
    const std::int64_t free = freeBytes();
    auto created = m_fs.createAlways(path);
    if (!created || !created.value()->close()) {
        return -1;
    }
    return free;
}

// Erase (when set), test and measure the diskette in the drive until it can take a segment;
// the capacity, or nothing when the user gave up.
std::optional<std::int64_t> FloppySplit::acceptDiskette() {
    for (;;) {
        const std::string path = segmentPath();
        if (m_inputs.eraseDiskettes) {
            EraseDiskette(m_host, m_fs, m_letter);
        }
        // A reused diskette may hold an older set's descriptor under this set's name.
        if (const Status cleared = m_run.removeOldSet(descriptorPath(), false); !cleared) {
            m_failure = cleared.error();
            return std::nullopt;
        }
        const std::int64_t before = testDiskette(path);
        const std::int64_t after = before < 0 ? -1 : freeBytes();
        if (after < 0) {
            if (m_host.askYesNo(text::NoDisketteQuestion(m_upperDrive)) == IDNO) {
                return std::nullopt;
            }
        } else if (after == 0) {
            (void)m_fs.deleteFile(path);
            if (m_host.askOkCancel(text::kNoSpacePrompt) == IDCANCEL) {
                return std::nullopt;
            }
        } else {
            return after;
        }
    }
}

// What the diskette taking the descriptor must have free. With checksums both files go on one
// diskette, each ending in a partly used allocation unit of at least 512 bytes.
// The recovery index goes there too.
std::int64_t FloppySplit::descriptorRoom() const {
    if (!m_inputs.checksums && !m_run.hasRecovery()) {
        return kDescriptorRoom;
    }
    const std::int64_t unit = std::max<std::int64_t>(
        kDescriptorRoom, m_fs.folderSpace(FloppyPrefix(m_inputs.floppyDrive)).unit);
    const auto units = [unit](std::int64_t bytes) { return (bytes + unit - 1) / unit * unit; };
    return unit + (m_inputs.checksums ? units(m_run.checksumFileBytes()) : 0) +
           units(m_run.recoveryIndexBytes());
}

// As many slices as the diskette in the drive takes beside the packets every volume repeats,
// asking for the next diskette while it takes none.
Result<VolumePlace> FloppySplit::placeVolume(int left, std::int64_t sliceBytes,
                                             std::int64_t fixedBytes) {
    const std::string prefix = FloppyPrefix(m_inputs.floppyDrive);
    for (bool fresh = false;; fresh = true) {
        if (fresh) {
            if (!promptForDiskette(m_inDrive + 1)) {
                return StoppedOnRequest();
            }
            if (m_inputs.eraseDiskettes) {
                EraseDiskette(m_host, m_fs, m_letter);
            }
            if (const Status cleared = m_run.removeOldSet(descriptorPath(), false); !cleared) {
                return cleared.error();
            }
        }
        const std::int64_t unit =
            std::max<std::int64_t>(kDescriptorRoom, m_fs.folderSpace(prefix).unit);
        const std::int64_t room = freeBytes() - unit - fixedBytes; // a partly used last unit
        if (room >= sliceBytes) {
            return VolumePlace{prefix,
                               static_cast<int>(std::min<std::int64_t>(left, room / sliceBytes))};
        }
    }
}

// After the descriptor: the volumes, on its diskette while there is room, then on more.
Status FloppySplit::writeVolumes() {
    return m_run.writeRecoveryVolumes(
        [this](int, int left, std::int64_t sliceBytes, std::int64_t fixedBytes) {
            return placeVolume(left, sliceBytes, fixedBytes);
        });
}

// Until a diskette with room for the descriptor (and checksum file) is in the drive; false
// when cancelled.
bool FloppySplit::placeDescriptor() {
    while (freeBytes() < descriptorRoom()) {
        if (!promptForDiskette()) {
            return false;
        }
    }
    return true;
}

SplitResult FloppySplit::finish() {
    if (!m_cancelled) {
        Status written = m_run.removeOldSet(DescriptorPath(m_lastSegmentPath), m_inputs.checksums);
        if (written) {
            written = m_run.writeDescriptor(m_lastSegmentPath, m_segments);
        }
        if (!written) {
            return m_run.failDescriptor(written.error());
        }
        if (const Status volumes = m_run.hasRecovery() ? writeVolumes() : Status(); !volumes) {
            if (volumes.error().code != ErrorCode::Cancelled) {
                return m_run.failCopy(volumes.error());
            }
            m_cancelled = true;
        }
    }
    if (!m_cancelled) {
        PlaySplitFinishedSound(m_host, m_options);
    }
    m_host.setBusy(false);
    if (!m_cancelled) {
        ShowSplitFinishedMessage(m_host, m_options);
    }
    m_host.setProgress(0);
    return {m_cancelled ? SplitOutcome::Cancelled : SplitOutcome::Completed, {}};
}

SplitResult FloppySplit::run() {
    if (auto failed = m_run.openSource()) {
        return *failed;
    }
    if (auto refused = m_run.lockDestination(FloppyPrefix(m_inputs.floppyDrive))) {
        return *refused;
    }
    m_host.setBusy(true);
    while (promptForDiskette()) {
        const auto capacity = acceptDiskette();
        if (m_failure) {
            return m_run.failCopy(*m_failure);
        }
        if (!capacity) {
            m_cancelled = true;
            break;
        }
        if (m_options.minimizeWhileSplitting(true)) {
            m_host.minimize();
        }
        m_lastSegmentPath = segmentPath();
        const std::int64_t length = std::min(*capacity, m_run.bytesLeft());
        if (const Status copied = m_run.copySegment(m_lastSegmentPath, length); !copied) {
            return m_run.failCopy(copied.error());
        }
        m_written.push_back({m_lastSegmentPath, length});
        ++m_segments;
        if (m_run.bytesLeft() == 0) {
            break;
        }
    }
    if (!m_cancelled && m_inputs.recovery > 0) {
        // The segments' lengths are known now: their recovery data is taken from the source.
        if (const Status taken = m_run.takeRecoveryFromSource(m_written); !taken) {
            return m_run.failCopy(taken.error());
        }
    }
    m_run.closeSource();
    if (!m_cancelled && !placeDescriptor()) {
        m_cancelled = true;
    }
    return finish();
}

} // namespace

SplitResult SplitToFloppy(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                          const SplitRequest& inputs) {
    FloppySplit split(host, fs, options, inputs);
    return split.run();
}

} // namespace dividra::core
