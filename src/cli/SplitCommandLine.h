#pragma once

#include "cli/CliContext.h"

#include "core/split/SplitHost.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dividra::cli {

// "split SOURCE --to FOLDER [--size SIZE | --pieces N] [--flush=segment|buffer]
// [--dos-names | --long-names]" or
// "split SOURCE --floppy DRIVE [--erase | --no-erase] [--dos-names | --long-names]": runs the
// split command of the window's Split button on the terminal. Message boxes are shown by
// TerminalMessageBoxes on `out` and `err`, questions answered from `in`; status texts and the
// progress bar go to `err` only when `showProgress` (stderr is a terminal). Bad usage or a
// missing file is one "dividra-cli: " line on `err`. Exit status: kExitOk completed,
// kExitFailed refused (a source on a removable drive too), failed or a missing or unusable
// file, kExitBadInput bad usage, kExitCancelled cancelled by the user.
int RunSplit(const CliContext& context, const std::vector<std::string>& arguments, std::istream& in,
             std::ostream& out, std::ostream& err, bool showProgress);

// The text "split --help" prints.
std::string SplitUsage();

// The split inputs a split command line gives, as the window would gather them: SOURCE and
// FOLDER mapped into the DOS view of the context's file system; DRIVE a drive of its drive
// table that takes diskettes (a letter it lacks only while it has none of these: the engine says
// there are no floppy drives); the segment size in bytes from --size, --pieces or the stored size,
// with its kilobytes (or bytes) as the size text; sources of any size; --flush's policy, else
// Segment for a folder and Buffer for diskettes; without a naming or erase switch the stored "Split
// files in 8.3 format" and "Erase Diskettes" (on only when exactly 1). Bad usage, a missing file or
// folder and an unknown drive are errors whose message is one line for the user.
Result<core::SplitRequest> SplitInputsFromArguments(const std::vector<std::string>& arguments,
                                                    const CliContext& context);

} // namespace dividra::cli
