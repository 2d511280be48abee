#include "core/join/Join.h"

#include "core/join/SegmentRead.h"

#include "core/join/JoinOutput.h"
#include "core/transfer/SafeWrite.h"

namespace dividra::core {
namespace {

// After the whole file's digest differed: the first segment whose own digest differs, read
// again, else the checksum file's line for the whole.
JoinResult findDifference(platform::FileSystem& fs, const JoinSet& set, JoinObserver& observer) {
    Transfer transfer(kJoinBufferSize, nullptr, [&observer] { return observer.cancelRequested(); });
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        const auto digest = SegmentDigest(fs, set.segments[i], transfer);
        if (!digest) {
            return StoppedBy(digest.error());
        }
        if (digest.value() != set.checksums[i].digest) {
            return {JoinOutcome::Refused, SegmentDiffers(set, i)};
        }
    }
    return {JoinOutcome::Refused, WholeDigestDiffers(set.checksums.back().name, set.checksumPath)};
}

// The output's bytes forced to the disk, and with a checksum file the whole held against its
// line. The flush comes first so that the disk works while the hashing catches up.
JoinResult checkWhole(platform::FileSystem& fs, const JoinSet& set, JoinWriter& writer,
                      JoinObserver& observer) {
    if (const Status flushed = writer.flush(); !flushed) {
        return {JoinOutcome::Failed, flushed.error().message};
    }
    if (set.checksums.empty()) {
        return {};
    }
    if (const Status hashed = writer.finishHashing(); !hashed) {
        return {JoinOutcome::Failed, hashed.error().message};
    }
    if (writer.wholeDigest() != set.checksums.back().digest) {
        return findDifference(fs, set, observer);
    }
    return {};
}

} // namespace

std::vector<platform::FileId> InputIds(const platform::FileSystem& fs, const JoinSet& set) {
    std::vector<platform::FileId> ids;
    const auto add = [&](const std::string& path) {
        if (const auto id = fs.fileId(path)) {
            ids.push_back(*id);
        }
    };
    add(set.descriptorPath);
    if (!set.checksumPath.empty()) {
        add(set.checksumPath);
    }
    for (const SegmentEntry& segment : set.segments) {
        add(segment.path);
    }
    return ids;
}

std::string JoinedText(std::size_t segments, const JoinWriter& writer) {
    return "Joined " + std::to_string(segments) + " segments into " + writer.outputPath() + ", " +
           std::to_string(writer.written()) + " bytes.";
}

std::string WholeDigestDiffers(const std::string& sourceName, const std::string& checksumPath) {
    return "The joined file's checksum differs from the line for " + sourceName + " in " +
           checksumPath;
}

JoinResult JoinSegments(platform::FileSystem& fs, const JoinSet& set, const JoinRequest& request,
                        JoinObserver& observer) {
    if (!set.complete()) {
        return RefusedFor(SetProblems(set));
    }
    auto target = PrepareJoinTarget(fs, request.outputFolder, set.outputName(), request.force,
                                    InputIds(fs, set), set.info.totalSize);
    if (!target) {
        return {JoinOutcome::Refused, target.error().message, target.error().code};
    }
    JoinWriter writer(fs, std::move(target).value(), !set.checksums.empty(),
                      [&observer] { return observer.cancelRequested(); });
    if (const Status created = writer.create(); !created) {
        return {JoinOutcome::Failed, created.error().message};
    }
    ProgressCount progress = JoinProgress(observer, set.info.totalSize);
    for (const SegmentEntry& entry : set.segments) {
        auto segment = ReopenSegment(fs, entry);
        if (!segment) {
            return {JoinOutcome::Failed, segment.error().message};
        }
        const Status copied =
            writer.append(*segment.value(), entry.path, entry.size, nullptr, progress);
        if (!copied) {
            return StoppedBy(copied.error());
        }
    }
    if (const JoinResult checked = checkWhole(fs, set, writer, observer);
        checked.outcome != JoinOutcome::Done) {
        return checked;
    }
    if (const Status committed = writer.commit(); !committed) {
        return {JoinOutcome::Failed, committed.error().message};
    }
    progress.clear();
    return {JoinOutcome::Done, JoinedText(set.segments.size(), writer)};
}

} // namespace dividra::core
