#pragma once

#include "core/set/ChecksumFile.h"
#include "core/set/DescriptorRead.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A set of segments as its descriptor describes it, looked at before a join or a check.
namespace dividra::core {

enum class SegmentState { Ok, Missing, WrongSize, Unusable, DigestDiffers };

struct SegmentEntry {
    std::string path;
    SegmentState state = SegmentState::Ok;
    std::int64_t size = -1;     // -1 when missing or unusable
    std::int64_t expected = -1; // -1 when it can't be told
    std::string reason;         // why it is unusable
};

struct JoinSet {
    std::string descriptorPath;
    std::string baseName; // the descriptor's name less its extension
    DescriptorInfo info;
    std::vector<SegmentEntry> segments;
    std::vector<std::string> stale;      // higher-numbered segment files beside them, ignored
    std::string checksumPath;            // empty when there is no checksum file
    std::vector<ChecksumLine> checksums; // one per segment, then the source's
    std::int64_t sizeSum = 0;            // of the segments found

    // Every segment there, a regular file, of a fitting size, and the sizes add up.
    bool complete() const;
    std::string outputName() const { return baseName + info.extension; }
};

// Reads the descriptor (and the checksum file beside it, when there) and looks at each
// segment's file without reading it, a symbolic link being no segment. The sizes' sum decides;
// only when it differs is a segment's own size judged, where the set has the shape of a folder
// split (all but the last of one size). The folder is listed once, whatever the count. Errors: a
// descriptor or checksum file that can't be read or is malformed, naming its path (and line).
Result<JoinSet> ExamineJoinSet(platform::FileSystem& fs, std::string_view descriptorPath);

// The checksum file's lines held against a set of `count` segments named as in `segmentPaths`:
// count + 1 lines, line n naming segment n - 1. Errors name the path and line.
Status CheckChecksumNames(const std::vector<ChecksumLine>& lines,
                          const std::vector<std::string>& segmentPaths, std::string_view path);

// "ok", "missing", "wrong size: 10 bytes, 20 expected", "checksum differs", ...
std::string SegmentStateText(const SegmentEntry& segment);

// Missing segments are named up to this many, then counted.
inline constexpr std::size_t kMissingShown = 10;
std::size_t MissingCount(const JoinSet& set);
// "99996 of the 99999 segments are missing"
std::string MissingCountText(const JoinSet& set);

// What keeps an incomplete set from being joined, one line per problem, segments by path; the
// first kMissingShown missing segments, then MissingCountText when there are more.
std::vector<std::string> SetProblems(const JoinSet& set);

} // namespace dividra::core
