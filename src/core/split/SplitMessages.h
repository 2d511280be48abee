#pragma once

#include <string>
#include <string_view>

// Every text the split engine shows: status texts and message box texts.
namespace dividra::core::text {

inline constexpr std::string_view kReady = "Ready";
inline constexpr std::string_view kSplittingToFloppy = "Splitting file to floppy diskette...";
inline constexpr std::string_view kSplittingToHardDrive = "Splitting file to hard drive";
inline constexpr std::string_view kErasingDiskette = "Erasing target diskette...";
// After an erase; the spelling is the program's own and stays.
inline constexpr std::string_view kSplittingAfterErase = "Splitting file to floppy diskettte...";
inline constexpr std::string_view kSplitComplete = "Split complete!";

// A drive text as messages show it: "a:" gives "A:".
std::string UpperDrive(std::string_view drive);

// "Please insert diskette #2 into drive \nA: and select OK when ready to\ncontinue."
std::string InsertDiskettePrompt(int disketteNumber, std::string_view upperDrive);
std::string NoDisketteQuestion(std::string_view upperDrive);
inline constexpr std::string_view kNoSpacePrompt =
    "There is no space available on this diskette.\nPlease insert a different diskette.";
inline constexpr std::string_view kNoFloppyMessage =
    "Cannot split file to floppy diskette because you\n"
    "don't have any floppy drives on this system!\n"
    "\n"
    "If you want to split the file to a hard drive,\n"
    "select 'Hard Drive' for the destination.";
std::string SegmentLimitMessage(std::string_view segmentCountText);
// "Insufficient space on drive c: to perform split."
std::string InsufficientSpaceMessage(char driveLetter);

// A source on a removable drive, which is never split.
inline constexpr std::string_view kRemovableSourceMessage =
    "Sorry, but Dividra isn't designed to split files that exist\n"
    "on removable drives (floppy drives, etc).";

// Refusals and failures of our own.
std::string EmptySourceMessage(std::string_view sourcePath);
std::string SourceTooLargeMessage(std::string_view sourcePath);
std::string SegmentSizeTooSmallMessage(std::string_view segmentSizeText);
std::string NothingWrittenMessage(std::string_view reason);
// Erase Diskettes on, and the floppy drive is no removable drive (upper-case drive text and a
// phrase such as "a network drive").
std::string EraseRefusedMessage(std::string_view upperDrive, std::string_view driveKind);
std::string SplitFailedMessage(std::string_view reason);
std::string DescriptorFailedMessage(std::string_view reason);

} // namespace dividra::core::text
