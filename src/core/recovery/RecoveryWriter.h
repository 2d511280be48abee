#pragma once

#include "core/recovery/RecoveryPlan.h"
#include "core/transfer/ChunkWorker.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The recovery files of a split, taken while the source is copied: the index "name.par2" and
// the volumes "name.volA+B.par2" beside the segments, so that any `lost` segments may be
// rebuilt, by Dividra or by any reader of the format.
namespace dividra::core {

class RecoverySlices;
class Transfer;
struct SegmentHashes;

struct RecoverySegment {
    std::string path; // where the split writes it
    std::int64_t length = 0;
};

// Where the next volume goes (a folder prefix, "a:\\") and how many slices it takes, 1 to
// `left`; a volume is `fixedBytes` plus `sliceBytes` per slice. An error ends the writing.
struct VolumePlace {
    std::string prefix;
    int slices = 0;
};
using PlaceVolume = std::function<Result<VolumePlace>(int first, int left, std::int64_t sliceBytes,
                                                      std::int64_t fixedBytes)>;

class RecoveryWriter {
public:
    // Plans the recovery for these segments of the open source (segment j starts where the
    // ones before it end) and reads each one's head, which the format's order of slices needs
    // before the first byte is added; the source is left at its start. Errors: the plan's
    // refusal, a failed read ("Can't read <sourcePath>: ...").
    static Result<std::unique_ptr<RecoveryWriter>>
    start(platform::File& source, std::string_view sourcePath,
          std::vector<RecoverySegment> segments, int lost,
          std::int64_t passBytes = kRecoveryPassBytes, int minPieces = 1);
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;
    const RecoveryPlan& plan() const { return m_plan; }

    // For the copy's transfer: the segments' hashes and the first pass's recovery slices, each
    // on a thread; a mark ends each segment. The writer outlives the transfer's threads.
    std::vector<ChunkWorker::Consume> consumers();

    // The first pass taken over the open source itself, at its start, after the copy: for a
    // split that knew its segments' lengths only at its end (diskettes). Further passes then
    // read the source again, not the segments.
    Status passOverSource(platform::FileSystem& fs, platform::File& source,
                          const std::function<bool()>& stop);
    // Once the first pass is done: checks that the source's heads are what was read before and
    // makes the index (its bytes then known).
    Status seal();
    std::int64_t indexBytes() const { return static_cast<std::int64_t>(m_index.size()); }
    // After seal(): the volumes, named after `base` ("data"), where `place` puts each, through
    // temporary names; then the index file, which volumes repeat.
    Status writeVolumes(platform::FileSystem& fs, const std::string& base, const PlaceVolume& place,
                        const std::function<bool()>& stop);
    Status writeIndex(platform::FileSystem& fs, const std::string& indexPath) const;

    // Once the copy drained: checks that the source's heads are what was read before, takes
    // any further pass over the segments written (reading them back), and writes the volumes,
    // then the index at `indexPath` ("c:\out\data.par2"), each through a temporary name,
    // flushed, renamed. `stop` ends a further pass (Cancelled).
    Status finish(platform::FileSystem& fs, const std::string& indexPath,
                  const std::function<bool()>& stop);

private:
    RecoveryWriter(RecoveryPlan plan, std::vector<RecoverySegment> segments,
                   std::vector<std::int64_t> lengths);
    Status checkHeads() const;
    std::string indexPackets() const;
    Status readPass(platform::FileSystem& fs, RecoverySlices& slices,
                    const std::function<bool()>& stop);
    std::vector<ChunkWorker::Consume> accumulators(RecoverySlices& slices);
    Status pumpSegments(Transfer& transfer, platform::FileSystem& fs, platform::File* source);

    RecoveryPlan m_plan;
    std::vector<RecoverySegment> m_segments;
    std::vector<std::int64_t> m_lengths;
    std::vector<par2::FileEntry> m_files; // ids from the heads read up front
    std::vector<std::int64_t> m_firstSlices;
    std::vector<SegmentHashes> m_hashes;
    std::unique_ptr<RecoverySlices> m_firstPass;
    Md5Digest m_setId{};
    std::string m_sourcePath; // for messages
    std::string m_passSource; // what further passes read when not the segments
    std::string m_index;      // the index file's packets, once sealed
};

} // namespace dividra::core
