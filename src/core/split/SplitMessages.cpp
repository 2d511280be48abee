#include "core/split/SplitMessages.h"

#include "util/NumberText.h"

namespace dividra::core::text {

std::string UpperDrive(std::string_view drive) {
    std::string upper(drive);
    for (char& c : upper) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return upper;
}

std::string InsertDiskettePrompt(int disketteNumber, std::string_view upperDrive) {
    return "Please insert diskette #" + IntToText(disketteNumber) + " into drive \n" +
           std::string(upperDrive) + " and select OK when ready to\ncontinue.";
}

std::string NoDisketteQuestion(std::string_view upperDrive) {
    return "Either there is no diskette in drive " + std::string(upperDrive) +
           ", or there\n"
           "is a problem with the diskette.  If there is a\n"
           "diskette in the drive, ensure that it isn't\n"
           "write protected.\n"
           "\n"
           "Do you wish to continue?";
}

std::string SegmentLimitMessage(std::string_view segmentCountText) {
    return "With the segment size you've selected, the destination\n"
           "file would be split into " +
           std::string(segmentCountText) +
           " pieces.\n"
           "\n"
           "To maintain compatibility between Windows 95\n"
           "systems and Windows 3.1 systems, split files\n"
           "cannot have more than 999 segments.";
}

std::string InsufficientSpaceMessage(char driveLetter) {
    return "Insufficient space on drive " + std::string(1, driveLetter) + ": to perform split.";
}

std::string EmptySourceMessage(std::string_view sourcePath) {
    return std::string(sourcePath) + " is empty.\n\nThere is nothing to split.";
}

std::string SourceTooLargeMessage(std::string_view sourcePath) {
    return std::string(sourcePath) + " is 2 GB or larger.\n\n"
                                     "Dividra can split files of up to 2147483647 bytes.";
}

std::string SegmentSizeTooSmallMessage(std::string_view segmentSizeText) {
    return "A segment size of \"" + std::string(segmentSizeText) +
           "\" KB can't be used.\n\n"
           "Choose a segment size from 1 to 1024 KB.";
}

std::string NothingWrittenMessage(std::string_view reason) {
    return std::string(reason) + "\n\nNothing was written.";
}

std::string EraseRefusedMessage(std::string_view upperDrive, std::string_view driveKind) {
    return "Erase Diskettes is on, but " + std::string(upperDrive) + " is " +
           std::string(driveKind) +
           ", not a diskette drive.\n\n"
           "Dividra erases only diskettes in removable drives. Turn Erase Diskettes off to "
           "split onto " +
           std::string(upperDrive) + " without erasing it.\n\nNothing was written.";
}

std::string SplitFailedMessage(std::string_view reason) {
    return "The split stopped:\n" + std::string(reason) +
           "\n\n"
           "The segments written so far are kept; no descriptor file was written.";
}

std::string DescriptorFailedMessage(std::string_view reason) {
    return "The segments are complete, but the descriptor file is missing:\n" + std::string(reason);
}

} // namespace dividra::core::text
