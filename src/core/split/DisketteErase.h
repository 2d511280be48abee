#pragma once

#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"

// Emptying a diskette before the floppy split writes a segment to it.
namespace dividra::core {

// Deletes every file in every folder of the diskette in the drive, whatever its attributes,
// and removes every folder below the root, deepest first. The status text reads "Erasing
// target diskette..." meanwhile and "Splitting file to floppy diskettte..." afterwards.
// Nothing is asked or reported: a drive without a diskette reads as empty, and a file or
// folder that can't be removed stays in place. driveLetter is lower case ('a').
void EraseDiskette(SplitHost& host, platform::FileSystem& fs, char driveLetter);

} // namespace dividra::core
