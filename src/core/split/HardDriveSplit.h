#pragma once

#include "core/split/SplitCommand.h"
#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"

namespace dividra::core {

// Cuts the source into segments of the chosen size in the destination folder and writes the
// descriptor file beside them. Refuses (Refused) when the drive's free space is below the
// source size plus 512 bytes per shown segment and one more, or when a segment or the
// descriptor would overwrite the source itself. Runs to the end without processing messages.
SplitResult SplitToHardDrive(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                             const SplitRequest& inputs);

} // namespace dividra::core
