#pragma once

#include "cli/CliContext.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace dividra::cli {

// "plan SOURCE [--size SIZE | --pieces N]": prints the source size, the segment size in bytes, the
// segment count and the four diskette counts, one "name: value" line each.
int RunPlan(const CliContext& context, const std::vector<std::string>& arguments, std::ostream& out,
            std::ostream& err);

// The text "plan --help" prints.
std::string PlanUsage();

} // namespace dividra::cli
