#pragma once

#include "core/split/SplitHost.h"

#include <array>
#include <cstdint>
#include <string_view>

// The arithmetic of a split: how many segments, how many diskettes. Pure functions of 64-bit
// sizes, so a file beyond the 32-bit model still gets its true counts.
namespace dividra::core {

struct DisketteKind {
    std::string_view name;
    std::int64_t capacity; // usable bytes of the standard format's data area
};

inline constexpr DisketteKind k35HighDensity{"3.5 HD", 1457664};
inline constexpr DisketteKind k35DoubleDensity{"3.5 DD", 730112};
inline constexpr DisketteKind k525HighDensity{"5.25 HD", 1213952};
inline constexpr DisketteKind k525DoubleDensity{"5.25 DD", 362496};
inline constexpr std::array<DisketteKind, 4> kDisketteKinds{k35HighDensity, k35DoubleDensity,
                                                            k525HighDensity, k525DoubleDensity};

// Room kept on the last diskette for the descriptor file.
inline constexpr std::int64_t kDescriptorRoom = 512;

// Kilobytes of 1024 bytes, as the segment sizes count them.
constexpr std::int64_t KilobytesToBytes(std::int64_t kilobytes) {
    return kilobytes * 1024;
}

// Segment size in bytes from a size text in kilobytes (read as TextToInt reads it: 0 for text
// that is not a number).
std::int64_t SegmentSizeBytes(std::string_view kilobytesText);

// Segments a hard-drive split writes: source size divided by segment size, rounded up.
// 0 for an empty (or negative) source, and for a segment size below 1, which has no count.
std::int64_t SegmentCount(std::int64_t sourceSize, std::int64_t segmentSizeBytes);

// Diskettes of one capacity a floppy split needs: (source size + 512) divided by the capacity,
// rounded up; an empty source needs one. 0 for a capacity below 1.
std::int64_t DisketteCount(std::int64_t sourceSize, std::int64_t capacity);

} // namespace dividra::core
