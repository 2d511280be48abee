#include "core/split/SplitCommand.h"

#include "core/split/FloppySplit.h"
#include "core/split/HardDriveSplit.h"
#include "core/split/SegmentPlan.h"
#include "core/split/SplitMessages.h"
#include "util/NumberText.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

namespace dividra::core {
namespace {

constexpr std::int32_t kSegmentLimit = 999;

// Sizes the engine can't split: an empty source, and one beyond the 32-bit model.
std::optional<std::string> sourceRefusal(const SplitInputs& inputs) {
    if (inputs.sourceSize <= 0) {
        return text::EmptySourceMessage(inputs.sourceLongPath);
    }
    if (!inputs.largeSources && inputs.sourceSize > std::numeric_limits<std::int32_t>::max()) {
        return text::SourceTooLargeMessage(inputs.sourceLongPath);
    }
    return std::nullopt;
}

// The shown segment count, which the terminal gives beyond 32 bits (a huge sparse file in 1 KB
// segments); any other text is read as the window reads its numbers.
std::int64_t shownSegmentCount(std::string_view text) {
    std::int64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error == std::errc::result_out_of_range) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return error == std::errc() && end == text.data() + text.size() ? count : TextToInt(text);
}

SplitOutcome refuse(SplitHost& host, std::string_view message) {
    host.showErrorMessage(message);
    return SplitOutcome::Refused;
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
std::optional<std::string> eraseRefusal(platform::FileSystem& fs, const SplitInputs& inputs) {
    const std::string_view kind = driveKindText(fs.driveType(inputs.floppyDrive));
    if (!inputs.eraseDiskettes || kind.empty()) {
        return std::nullopt;
    }
    return text::EraseRefusedMessage(text::UpperDrive(inputs.floppyDrive), kind);
}

SplitOutcome toFloppy(SplitHost& host, platform::FileSystem& fs, const SplitInputs& inputs) {
    host.setStatusText(text::kSplittingToFloppy);
    if (!inputs.floppyDriveAvailable) {
        return refuse(host, text::kNoFloppyMessage);
    }
    if (const auto refusal = eraseRefusal(fs, inputs)) {
        return refuse(host, *refusal);
    }
    if (const auto refusal = sourceRefusal(inputs)) {
        return refuse(host, *refusal);
    }
    return SplitToFloppy(host, fs, inputs);
}

SplitOutcome toHardDrive(SplitHost& host, platform::FileSystem& fs, const SplitInputs& inputs) {
    host.setStatusText(text::kSplittingToHardDrive);
    if (shownSegmentCount(inputs.segmentCountText) > kSegmentLimit) {
        return refuse(host, text::SegmentLimitMessage(inputs.segmentCountText));
    }
    if (const auto refusal = sourceRefusal(inputs)) {
        return refuse(host, *refusal);
    }
    // A segment size of 0 would never end; below 1 KB a split never starts (a byte size given
    // in place of the text is above 0 already).
    if (inputs.segmentBytes <= 0 &&
        SegmentSizeBytes(inputs.segmentSizeText) < KilobytesToBytes(kMinCustomKilobytes)) {
        return refuse(host, text::SegmentSizeTooSmallMessage(inputs.segmentSizeText));
    }
    return SplitToHardDrive(host, fs, inputs);
}

} // namespace

SplitOutcome ToolBtnSplitClick(SplitHost& host, platform::FileSystem& fs) {
    const SplitInputs inputs = host.splitInputs();
    const SplitOutcome outcome = inputs.destination == Destination::Floppy
                                     ? toFloppy(host, fs, inputs)
                                     : toHardDrive(host, fs, inputs);
    host.setStatusText(text::kReady);
    return outcome;
}

} // namespace dividra::core
