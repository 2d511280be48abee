#pragma once

#include "cli/CliContext.h"
#include "platform/Result.h"

#include <iosfwd>
#include <string>
#include <vector>

// The terminal front end of the split engine, kept out of main() so tests can drive it.
namespace dividra::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;    // failed or refused; a missing or unusable file too
inline constexpr int kExitBadInput = 2;  // bad usage: arguments, option values, drive table
inline constexpr int kExitCancelled = 3; // the user cancelled at a prompt

// Runs one command line (without the program name). Results and information go to out;
// complaints to err, their first line starting "dividra-cli: "; questions are asked on err and
// answered from in. With errIsTerminal (main decides it), status texts and a progress bar are
// drawn on err. A failed write on out ends with "dividra-cli: write error: <reason>" on err
// and kExitFailed. Never throws.
// Every command works on `context`, which main() wired.
int RunCli(const CliContext& context, const std::vector<std::string>& arguments, std::istream& in,
           std::ostream& out, std::ostream& err, bool errIsTerminal);

// The same with no input (every question answered Cancel or No) and no progress display.
int RunCli(const CliContext& context, const std::vector<std::string>& arguments, std::ostream& out,
           std::ostream& err);

// The text --help prints.
std::string UsageText();

// The exit status of an error that stops a command: bad usage (InvalidArgument) or failure.
int ExitStatusOf(const Error& error);

} // namespace dividra::cli
