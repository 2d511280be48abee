#pragma once

#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"

// The one entry point of the split engine: the Split button and menu item, and the terminal's
// split command.
namespace dividra::core {

enum class SplitOutcome {
    Completed, // every segment and the descriptor file written
    Refused,   // a check refused the split before anything was written
    Failed,    // stopped by a failure; segments written so far stay, no descriptor
    Cancelled, // the user cancelled at a diskette prompt
};

// Reads the host's inputs and runs the floppy or hard-drive split, or refuses with a message.
// Sets the status text for the split and back to "Ready" at the end in every case. Returns
// when the split has ended.
SplitOutcome ToolBtnSplitClick(SplitHost& host, platform::FileSystem& fs);

} // namespace dividra::core
