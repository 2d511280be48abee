#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Reading a split descriptor back, for a join or a check of a set of segments.
namespace dividra::core {

// More segments than a split ever makes (999, or one per diskette) stay well below this.
inline constexpr int kMaxJoinSegments = 99999;
// Descriptors are three short lines.
inline constexpr std::size_t kMaxDescriptorBytes = 4096;

struct DescriptorInfo {
    std::string extension; // with its dot, or empty
    int segmentCount = 0;
    std::int64_t totalSize = 0;
};

// Exactly three lines in this order: "File Ext=" and an extension (empty, or "." and a name,
// possibly empty, with no control character and none of \ / : * ? " < > |), "Total Files=" and a
// count from 1 to kMaxJoinSegments, "Total Size=" and a size from the count to the largest 64-bit
// number. Numbers are plain decimal digits. Each line ends in CR LF or LF; the last one's end may
// be missing. Anything else is InvalidArgument naming the line: "line 4: unexpected", "line 2:
// \"Total Files=\" expected", "line 3: \"-5\" is no size in bytes".
Result<DescriptorInfo> ReadDescriptorText(std::string_view text);

} // namespace dividra::core
