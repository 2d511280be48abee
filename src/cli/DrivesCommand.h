#pragma once

#include "cli/CliContext.h"

#include "platform/FileSystem.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace dividra::cli {

// "drives": prints the drive table, one line per drive under a header, in aligned columns:
// letter, kind, host folder, label, free bytes and medium; then where the letters come from.
int RunDrives(const CliContext& context, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err);

// The table RunDrives prints for the drives of `fs`, without the closing line.
std::string DriveListing(const platform::DriveTable& table, const platform::FileSystem& fs);

// The text "drives --help" prints.
std::string DrivesUsage();

} // namespace dividra::cli
