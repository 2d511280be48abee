#pragma once

#include "core/recovery/Par2Format.h"
#include "core/transfer/ChunkWorker.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// One pass over a set's segments, chunk by chunk as the transfer reads them, a mark after each
// segment: consumers that hash the segments and add them into recovery slices, each on a thread
// of its own beside the copy.
namespace dividra::core {

// The recovery slices of exponents first() to first() + count() - 1, zero to start with.
class RecoverySlices {
public:
    RecoverySlices(std::int64_t sliceSize, int first, int count);
    int first() const { return m_first; }
    int count() const { return m_count; }
    std::int64_t sliceSize() const { return m_sliceSize; }
    // sliceSize() bytes; i from 0 to count() - 1.
    std::span<std::byte> slice(int i);

private:
    struct Free {
        void operator()(std::byte* p) const;
    };
    std::int64_t m_sliceSize;
    std::size_t m_stride; // a multiple of 64, so every slice is aligned as the arithmetic likes
    int m_first;
    int m_count;
    std::unique_ptr<std::byte, Free> m_data;
};

// A segment's hashes as the recovery files give them: the whole segment's, its head's and
// each slice's (padded with zeros to the slice size).
struct SegmentHashes {
    Md5Digest hash{};
    Md5Digest headHash{};
    std::vector<Md5Digest> sliceHashes;
    std::vector<std::uint32_t> sliceCrcs;
};

enum class SegmentPart {
    Hashes, // hash, headHash, sliceHashes
    Crcs,   // sliceCrcs
};

// That part of each segment j's SegmentHashes into out[j]; `out` holds an entry per segment of
// `lengths` and outlives the consumer's thread. A consumer for each part shares out the work.
ChunkWorker::Consume HashSegments(std::int64_t sliceSize, const std::vector<std::int64_t>& lengths,
                                  std::vector<SegmentHashes>& out, SegmentPart part);

// Adds every slice of every segment into the recovery slices i of `slices` with
// i % ways == way, by the format's constants: segment j's first input slice is
// firstSlices[j]. Several such consumers, one per way, share the work of one pass.
ChunkWorker::Consume AccumulateRecovery(const std::vector<std::int64_t>& firstSlices,
                                        RecoverySlices& slices, int way, int ways);

} // namespace dividra::core
