#pragma once

#include "core/split/SplitCommand.h"
#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"

namespace dividra::core {

// Spreads the source over diskettes in the floppy drive, one segment filling each diskette's
// free space, with a prompt, an optional erase and a test for every diskette; the descriptor
// goes on the last diskette, or on one more when the last has less than 512 bytes free. With
// checksums the checksum file goes with it, and the diskette must have room for both: each
// rounded up to whole allocation units of at least 512 bytes.
// Cancelled at any prompt: no descriptor, no message, the segments written stay.
SplitResult SplitToFloppy(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                          const SplitRequest& inputs);

} // namespace dividra::core
