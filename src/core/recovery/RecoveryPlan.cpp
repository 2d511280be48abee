#include "core/recovery/RecoveryPlan.h"

#include <algorithm>
#include <numeric>

namespace dividra::core {
namespace {

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

std::string Padded(int value, std::size_t width) {
    std::string text = std::to_string(value);
    return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
}

// Packets of the index file, repeated in every volume: main, descriptions, checksums, creator.
std::int64_t IndexBytes(int segments, std::int64_t inputSlices) {
    constexpr std::int64_t kDescription = 64 + 56 + 16; // a segment's name, padded
    constexpr std::int64_t kCreator = 64 + 64;
    return 64 + 12 + 16 * segments + kDescription * segments + (64 + 16) * segments +
           20 * inputSlices + kCreator;
}

} // namespace

std::int64_t RecoveryPlan::fileBytes(int segments) const {
    const std::int64_t volumes = CeilDiv(recoverySlices, slicesPerSegment);
    return (volumes + 1) * IndexBytes(segments, inputSlices) +
           recoverySlices * (par2::kHeaderBytes + 4 + sliceSize);
}

Result<RecoveryPlan> PlanRecovery(const std::vector<std::int64_t>& lengths, int lost,
                                  std::int64_t passBytes, int minPieces) {
    const auto count = static_cast<std::int64_t>(lengths.size());
    if (count == 0 || lost < 1 || lost > count ||
        std::any_of(lengths.begin(), lengths.end(), [](std::int64_t n) { return n < 1; })) {
        return Error{ErrorCode::InvalidArgument,
                     "recovery needs 1 to " + std::to_string(count) + " segments of data"};
    }
    const std::int64_t largest = *std::max_element(lengths.begin(), lengths.end());
    // Pieces per segment: as few as the slice cap allows, fewer where the format's slice count
    // would be passed (only segments of many gigabytes each).
    RecoveryPlan plan;
    const std::int64_t fewest = std::max<std::int64_t>(CeilDiv(largest, kMaxSliceBytes), minPieces);
    for (std::int64_t pieces = std::min(fewest, CeilDiv(largest, 4));; --pieces) {
        plan.sliceSize = CeilDiv(CeilDiv(largest, pieces), 4) * 4;
        plan.inputSlices = std::accumulate(
            lengths.begin(), lengths.end(), std::int64_t{0},
            [&](std::int64_t sum, std::int64_t n) { return sum + CeilDiv(n, plan.sliceSize); });
        if (plan.inputSlices <= par2::kMaxInputSlices || pieces == 1) {
            break;
        }
    }
    plan.slicesPerSegment = static_cast<int>(CeilDiv(largest, plan.sliceSize));
    plan.recoverySlices = lost * plan.slicesPerSegment;
    plan.slicesPerPass = static_cast<int>(
        std::clamp<std::int64_t>(passBytes / plan.sliceSize, 1, plan.recoverySlices));
    return plan;
}

std::int64_t RecoveryBytesFor(std::int64_t sourceSize, std::int64_t segmentBytes, int lost) {
    std::vector<std::int64_t> lengths;
    for (std::int64_t at = 0; segmentBytes > 0 && at < sourceSize; at += segmentBytes) {
        lengths.push_back(std::min(segmentBytes, sourceSize - at));
    }
    const auto plan = PlanRecovery(lengths, lost);
    return plan ? plan.value().fileBytes(static_cast<int>(lengths.size())) : 0;
}

std::vector<std::int64_t> FirstSlices(const std::vector<par2::FileEntry>& files,
                                      std::int64_t sliceSize) {
    std::vector<Md5Digest> ids;
    for (const par2::FileEntry& file : files) {
        ids.push_back(file.id);
    }
    par2::SortIds(ids);
    std::vector<std::int64_t> first(files.size(), 0);
    std::int64_t next = 0;
    for (const Md5Digest& id : ids) {
        for (std::size_t j = 0; j < files.size(); ++j) {
            if (files[j].id == id) {
                first[j] = next;
                next += CeilDiv(static_cast<std::int64_t>(files[j].length), sliceSize);
                break;
            }
        }
    }
    return first;
}

std::string VolumeName(const std::string& base, int first, int count, int total) {
    const std::size_t width = std::max<std::size_t>(2, std::to_string(total).size());
    return base + ".vol" + Padded(first, width) + "+" + Padded(count, width) + ".par2";
}

} // namespace dividra::core
