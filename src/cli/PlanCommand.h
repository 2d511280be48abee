#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace dividra::cli {

// "plan SOURCE [--size SIZE]": prints the source size, the segment size in bytes, the segment
// count and the four diskette counts, one "name: value" line each.
int RunPlan(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The text "plan --help" prints.
std::string PlanUsage();

// The segment size the window's list starts with: "Default Segment Size" matched against the
// list without regard to case (no match: 1420); "Custom" takes "Custom Segment Size".
std::int32_t StoredSegmentSizeKilobytes();

// Segment size in kilobytes from a --size text: an entry of the segment size list or a custom
// size of 1 to 1024; anything else is an InvalidArgument error with a message for the user.
Result<std::int32_t> ParseSegmentSize(std::string_view text);

} // namespace dividra::cli
