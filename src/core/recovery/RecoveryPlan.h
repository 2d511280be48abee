#pragma once

#include "core/recovery/Par2Format.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How much recovery data a set gets and how it is cut: one rule, easy to state. Every segment is
// cut into at most `slicesPerSegment` slices of one size; the recovery data is `lost` segments'
// worth of slices, so any `lost` segments may go missing or be damaged.
namespace dividra::core {

// The index file's extension, replacing the descriptor's: "data.par2".
inline constexpr std::string_view kRecoveryExtension = ".par2";
// A slice is at most this large, so one pass can hold a few of them.
inline constexpr std::int64_t kMaxSliceBytes = std::int64_t{32} << 20;
// The recovery slices one pass over the segments holds at once stay within this.
inline constexpr std::int64_t kRecoveryPassBytes = std::int64_t{192} << 20;
// A diskette set's segments are cut into this many slices: a diskette then takes a volume of
// all but one of a segment's slices beside the packets every volume repeats.
inline constexpr int kDisketteSlicesPerSegment = 16;

struct RecoveryPlan {
    std::int64_t sliceSize = 0; // a multiple of 4
    int slicesPerSegment = 0;   // what one lost segment needs: ceil(largest / sliceSize)
    int recoverySlices = 0;     // lost * slicesPerSegment; exponents 0 to this - 1
    int slicesPerPass = 0;      // held in memory during one pass
    std::int64_t inputSlices = 0;

    int passes() const { return (recoverySlices + slicesPerPass - 1) / slicesPerPass; }
    // Bytes of the recovery files written (volumes and index), packets included.
    std::int64_t fileBytes(int segments) const;
};

// For segments of these lengths (at least one, each at least 1 byte), enough recovery that
// any `lost` of them (1 to their count) may be rebuilt, a pass holding at most `passBytes` of
// recovery slices (at least one slice), the largest segment cut into at least `minPieces`
// slices (so that a volume of a segment's worth fits where the segment did: diskettes).
// InvalidArgument otherwise.
Result<RecoveryPlan> PlanRecovery(const std::vector<std::int64_t>& lengths, int lost,
                                  std::int64_t passBytes = kRecoveryPassBytes, int minPieces = 1);

// The bytes the recovery files of a folder split take: `sourceSize` cut into segments of
// `segmentBytes`, any `lost` of them to be rebuilt; 0 when there is nothing to protect.
std::int64_t RecoveryBytesFor(std::int64_t sourceSize, std::int64_t segmentBytes, int lost);

// The input slices of the set in the format's order: the files sorted by id, then their
// slices in file order. firstSlice[j] is the number of the first slice of file j.
std::vector<std::int64_t> FirstSlices(const std::vector<par2::FileEntry>& files,
                                      std::int64_t sliceSize);

// "data.vol000+02.par2" beside "data.par2": `count` slices from exponent `first`.
std::string VolumeName(const std::string& base, int first, int count, int total);

} // namespace dividra::core
