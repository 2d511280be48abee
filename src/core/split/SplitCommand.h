#pragma once

#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"
#include "settings/SplitOptions.h"

#include <string>

// The one entry point of the split engine: the Split button and menu item, and the terminal's
// split command.
namespace dividra::core {

enum class SplitOutcome {
    Completed, // every segment and the descriptor file written
    Refused,   // a check refused the split before anything was written
    Failed,    // stopped by a failure; segments written so far stay, no descriptor
    Cancelled, // the user cancelled at a diskette prompt, or asked the split to stop
};

struct SplitResult {
    SplitOutcome outcome = SplitOutcome::Completed;
    std::string message; // the refusal or failure that ended the split; empty when none
};

// Runs the floppy or hard-drive split the request asks for, or refuses it; `options` are asked
// at the moment of use. Sets the status
// text for the split; what is shown while the split still has steps to take (prompts,
// "Split complete!") goes to the host, what ends it comes back in the result. Returns when
// the split has ended.
SplitResult RunSplit(SplitHost& host, platform::FileSystem& fs, const SplitOptions& options,
                     const SplitRequest& request);

// What every front end does with the result, in this order: the message as an error box when
// there is one, then the status text "Ready". The outcome, for the exit status.
SplitOutcome EndSplit(SplitHost& host, const SplitResult& result);

} // namespace dividra::core
