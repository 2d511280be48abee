#include "core/split/SplitCommand.h"

#include "core/split/FloppySplit.h"
#include "core/split/HardDriveSplit.h"
#include "core/split/SegmentPlan.h"
#include "core/split/SplitMessages.h"
#include "util/NumberText.h"

#include <cstdint>
#include <optional>

namespace dividra::core {
namespace {

constexpr std::int32_t kSegmentLimit = 999;

// Sizes the engine can't split: an empty source, and one beyond the 32-bit model.
std::optional<std::string> sourceRefusal(const SplitRequest& inputs) {
    if (inputs.sourceSize <= 0) {
        return text::EmptySourceMessage(inputs.sourceLongPath);
    }
    if (!inputs.largeSources && inputs.sourceSize > std::numeric_limits<std::int32_t>::max()) {
        return text::SourceTooLargeMessage(inputs.sourceLongPath);
    }
    return std::nullopt;
}

SplitResult refuse(std::string_view message) {
    return {SplitOutcome::Refused, std::string(message)};
}

// What a drive is, for a message; empty for a removable drive.
std::string_view driveKindText(platform::DriveType type) {
    switch (type) {
    case platform::DriveType::Removable:
        return {};
    case platform::DriveType::Remote:
        return "a network drive";
    case platform::DriveType::RamDisk:
        return "a RAM disk";
    case platform::DriveType::Fixed:
        return "a fixed drive";
    case platform::DriveType::CdRom:
        return "a CD-ROM drive";
    case platform::DriveType::Unknown:
    case platform::DriveType::NoRootDir:
        break;
    }
    return "no removable drive";
}

// Erasing empties every folder of the drive: only ever a diskette's.
std::optional<std::string> eraseRefusal(platform::FileSystem& fs, const SplitRequest& inputs) {
    const std::string_view kind = driveKindText(fs.driveType(inputs.floppyDrive));
    if (!inputs.eraseDiskettes || kind.empty()) {
        return std::nullopt;
    }
    return text::EraseRefusedMessage(text::UpperDrive(inputs.floppyDrive), kind);
}

SplitResult toFloppy(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                     const SplitRequest& inputs) {
    host.setStatusText(text::kSplittingToFloppy);
    if (!inputs.floppyDriveAvailable) {
        return refuse(text::kNoFloppyMessage);
    }
    if (const auto refusal = eraseRefusal(fs, inputs)) {
        return refuse(*refusal);
    }
    if (const auto refusal = sourceRefusal(inputs)) {
        return refuse(*refusal);
    }
    return SplitToFloppy(host, fs, options, inputs);
}

SplitResult toHardDrive(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                        const SplitRequest& inputs) {
    host.setStatusText(text::kSplittingToHardDrive);
    if (inputs.segmentCount > kSegmentLimit) {
        return refuse(text::SegmentLimitMessage(std::to_string(inputs.segmentCount)));
    }
    if (const auto refusal = sourceRefusal(inputs)) {
        return refuse(*refusal);
    }
    // A segment size of 0 would never end. The window's sizes are whole kilobytes, so none
    // below 1 KB gets here; the terminal's pieces may be a few bytes.
    if (inputs.segmentBytes <= 0) {
        return refuse(text::SegmentSizeTooSmallMessage(inputs.segmentSizeShown));
    }
    return SplitToHardDrive(host, fs, options, inputs);
}

} // namespace

SplitResult RunSplit(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                     const SplitRequest& request) {
    return request.destination == Destination::Floppy ? toFloppy(host, fs, options, request)
                                                      : toHardDrive(host, fs, options, request);
}

SplitOutcome EndSplit(SplitHost& host, const SplitResult& result) {
    if (!result.message.empty()) {
        host.showErrorMessage(result.message);
    }
    host.setStatusText(text::kReady);
    return result.outcome;
}

} // namespace dividra::core
