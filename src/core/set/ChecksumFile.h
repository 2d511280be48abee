#pragma once

#include "core/set/DescriptorRead.h"
#include "core/set/SmallFile.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The checksum file of a split, "name.sha256" beside the descriptor, in the form
// "sha256sum -c" reads: one line per segment in order, then one for the whole source under
// its long name.
namespace dividra::core {

inline constexpr std::string_view kChecksumExtension = ".sha256";
inline constexpr std::size_t kDigestLength = 64; // hex digits of a SHA-256 digest
// A line per segment of the largest set, with room for long names.
inline constexpr std::size_t kMaxChecksumBytes = (kMaxJoinSegments + 1) * 400;

struct ChecksumLine {
    std::string digest; // kDigestLength lower-case hex digits
    std::string name;   // a file name, no folder
};

// "<digest>  <name>\n" for each line.
std::string ChecksumText(const std::vector<ChecksumLine>& lines);

// Lines of 64 hex digits (either case; given back in lower case), a blank, a blank or "*",
// and a name with no control character, "\" or "/"; ends as for the descriptor (CR LF or LF,
// the last one's may be missing). Anything else, an empty text too, is InvalidArgument naming
// the line: "line 2: a SHA-256 digest, two blanks and a file name expected".
Result<std::vector<ChecksumLine>> ReadChecksumText(std::string_view text);

} // namespace dividra::core
