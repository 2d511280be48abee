#pragma once

#include "core/set/SmallFile.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The split descriptor file written beside the last segment.
namespace dividra::core {

inline constexpr std::string_view kDescriptorExtension = ".kpn";

// The last segment's path with its extension replaced by ".kpn".
std::string DescriptorPath(std::string_view lastSegmentPath);

// Exactly three CR LF lines: "File Ext=" and the source extension (with its dot, letter case
// kept, empty when none), "Total Files=" and the segment count, "Total Size=" and the size.
std::string DescriptorText(std::string_view sourceExtension, std::int64_t segmentCount,
                           std::int64_t sourceSize);

// Writes the descriptor file, replacing any file of that name, and forces it to the medium.
// The source's identity, when given, guards it: a descriptor path naming the source file
// itself fails with SameFile before anything is created. Other failures (create, write, flush,
// close) return an Error naming the path and the reason; the file is closed on every path, and
// a descriptor that could not be written whole is deleted again.
Status WriteDescriptor(platform::FileSystem& fs, std::string_view lastSegmentPath,
                       std::string_view sourceExtension, std::int64_t segmentCount,
                       std::int64_t sourceSize,
                       std::optional<platform::FileId> sourceId = std::nullopt);

} // namespace dividra::core
