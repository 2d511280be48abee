#include "core/join/Verify.h"

#include "core/join/JoinOutput.h"
#include "core/join/SegmentRead.h"

namespace dividra::core {

JoinResult CheckDigests(platform::FileSystem& fs, JoinSet& set, JoinObserver& observer) {
    Sha256 whole;
    ProgressCount progress = JoinProgress(observer, set.info.totalSize);
    Transfer transfer(kJoinBufferSize, &progress,
                      [&observer] { return observer.cancelRequested(); });
    if (const Status started = transfer.startConsumers(kJoinHashSlots, {HashInto(whole)});
        !started) {
        return {JoinOutcome::Failed, started.error().message};
    }
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        const auto digest = SegmentDigest(fs, set.segments[i], transfer);
        if (!digest) {
            return StoppedBy(digest.error());
        }
        if (digest.value() != set.checksums[i].digest) {
            set.segments[i].state = SegmentState::DigestDiffers;
            problems.push_back(SegmentDiffers(set, i));
        }
    }
    progress.clear();
    if (const Status hashed = transfer.drain(); !hashed) {
        return {JoinOutcome::Failed, hashed.error().message};
    }
    if (problems.empty() && whole.hexDigest() != set.checksums.back().digest) {
        problems.push_back(WholeDigestDiffers(set.checksums.back().name, set.checksumPath));
    }
    return problems.empty() ? JoinResult{} : RefusedFor(problems);
}

} // namespace dividra::core
