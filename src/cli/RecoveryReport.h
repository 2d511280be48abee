#pragma once

#include "cli/JoinTerminal.h"
#include "core/join/JoinSet.h"
#include "core/recovery/RecoveryCheck.h"
#include "core/recovery/Repair.h"

#include <optional>
#include <string>
#include <vector>

// What verify and repair say of a set held against its recovery files.
namespace dividra::cli {

// The set's recovery files read and its segments held against them; NotFound when there are
// none. Ctrl-C stops the reading (Cancelled).
Result<core::RecoveryState> CheckRecoveryOf(JoinTerminal& terminal, const core::JoinSet& set);

// A line per segment ("data.001: missing"), then "The set is whole." or how many segments need
// repair and whether the recovery files suffice. The exit status: kExitOk when whole.
int ReportRecovery(JoinTerminal& terminal, const core::JoinSet& set,
                   const core::RecoveryState& state);

// For a join that must leave the set as it is: where the set has recovery files and is not
// whole by them, copies of its lost segments are rebuilt into `outputFolder` under temporary
// names and the set points at them; each rebuilt one is said on the terminal. nullopt when
// nothing needed rebuilding. A set the recovery files find lost beyond repair is refused.
Result<std::optional<core::RebuiltAside>> RebuildForJoin(JoinTerminal& terminal, core::JoinSet& set,
                                                         const std::string& outputFolder);

// "repair DESCRIPTOR" once the terminal is set up: the exit status.
int RepairSet(JoinTerminal& terminal, const std::string& descriptorHostPath);

} // namespace dividra::cli
