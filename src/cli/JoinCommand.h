#pragma once

#include "cli/CliContext.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace dividra::cli {

// "join DESCRIPTOR [--to FOLDER] [--force]" or "join [NAME] --floppy DRIVE --to FOLDER": puts
// a split's segments back together (see JoinUsage). Information on `out`, errors and
// questions on `err`, answers from `in`; the progress bar on `err` only when `showProgress`.
// Exit status: kExitOk joined, kExitFailed refused or failed, kExitBadInput bad usage,
// kExitCancelled cancelled (at a prompt, or by Ctrl-C).
int RunJoin(const CliContext& context, const std::vector<std::string>& arguments, std::istream& in,
            std::ostream& out, std::ostream& err, bool showProgress);

// "verify DESCRIPTOR": every check of a join without writing, a line per segment on `out`.
// Exit status: kExitOk whole, kExitFailed not whole or unreadable, kExitBadInput bad usage.
int RunVerify(const CliContext& context, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err, bool showProgress);

// "repair DESCRIPTOR": rebuilds the set's missing or damaged segments from its recovery files.
// Exit status: kExitOk whole (at once or after the repair), kExitFailed refused or failed,
// kExitBadInput bad usage, kExitCancelled cancelled.
int RunRepair(const CliContext& context, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err, bool showProgress);

std::string JoinUsage();
std::string VerifyUsage();
std::string RepairUsage();

} // namespace dividra::cli
