#pragma once

#include "platform/DriveTable.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <optional>

// What main() wires once for every command: the drive table, the file system over it, and what
// the table came from. Nothing below main() reads the environment.
namespace dividra::cli {

struct CliContext {
    const platform::DriveTable& drives;
    platform::FileSystem& fs;
    // Why DIVIDRA_DRIVES couldn't be read: told by the first command that needs a drive, so
    // --help and --version still answer.
    std::optional<Error> drivesError;
    bool drivesConfigured = false; // the table is DIVIDRA_DRIVES's, not the detected one

    // The drives' error, when there is one.
    Status ready() const { return drivesError ? Status(*drivesError) : Status(); }
};

} // namespace dividra::cli
