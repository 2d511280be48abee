#include "core/Join.h"

#include "core/SafeWrite.h"

namespace dividra::core {
namespace {

JoinResult refused(const std::vector<std::string>& problems) {
    std::string message;
    for (const std::string& problem : problems) {
        message += (message.empty() ? "" : "\n") + problem;
    }
    return {JoinOutcome::Refused, message};
}

JoinResult stopped(JoinObserver& observer, const Error& error) {
    if (observer.cancelRequested()) {
        return {JoinOutcome::Cancelled, std::string(kCancelledText)};
    }
    return {JoinOutcome::Failed, error.message};
}

std::string segmentDiffers(const JoinSet& set, std::size_t index) {
    return set.segments[index].path + ": checksum differs from " + set.checksumPath;
}

// Opens a segment again for the copy; it must still have the size it was checked with.
Result<std::unique_ptr<platform::File>> reopen(platform::FileSystem& fs,
                                               const SegmentEntry& segment) {
    auto opened = fs.openRead(segment.path);
    if (!opened) {
        return WithAction("Can't open", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size || size.value() != segment.size) {
        return Error{ErrorCode::Io, segment.path + ": changed since it was checked"};
    }
    return opened;
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
        return refused(SetProblems(set));
    }
    auto target = PrepareJoinTarget(fs, request.outputFolder, set.outputName(), request.force,
                                    InputIds(fs, set), set.info.totalSize);
    if (!target) {
        return {JoinOutcome::Refused, target.error().message};
    }
    const bool hashing = !set.checksums.empty();
    JoinWriter writer(fs, std::move(target).value(), hashing);
    if (const Status created = writer.create(); !created) {
        return {JoinOutcome::Failed, created.error().message};
    }
    JoinProgress progress(observer, set.info.totalSize);
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        auto segment = reopen(fs, set.segments[i]);
        if (!segment) {
            return {JoinOutcome::Failed, segment.error().message};
        }
        std::optional<Sha256> hash;
        if (hashing) {
            hash.emplace();
        }
        const Status copied =
            writer.append(*segment.value(), set.segments[i].path, set.segments[i].size,
                          hash ? &*hash : nullptr, progress);
        if (!copied) {
            return stopped(observer, copied.error());
        }
        if (hash && hash->hexDigest() != set.checksums[i].digest) {
            return {JoinOutcome::Refused, segmentDiffers(set, i)};
        }
    }
    if (hashing && writer.wholeDigest() != set.checksums.back().digest) {
        return {JoinOutcome::Refused,
                WholeDigestDiffers(set.checksums.back().name, set.checksumPath)};
    }
    if (const Status committed = writer.commit(); !committed) {
        return {JoinOutcome::Failed, committed.error().message};
    }
    progress.clear();
    return {JoinOutcome::Done, JoinedText(set.segments.size(), writer)};
}

JoinResult CheckDigests(platform::FileSystem& fs, JoinSet& set, JoinObserver& observer) {
    Sha256 whole;
    JoinProgress progress(observer, set.info.totalSize);
    const auto buffer = std::make_unique_for_overwrite<std::byte[]>(kJoinBufferSize);
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        SegmentEntry& entry = set.segments[i];
        auto segment = reopen(fs, entry);
        if (!segment) {
            return {JoinOutcome::Failed, segment.error().message};
        }
        Sha256 hash;
        const auto sink = [&](std::span<const std::byte> chunk) -> Status {
            hash.update(chunk);
            whole.update(chunk);
            progress.add(static_cast<std::int64_t>(chunk.size()));
            return observer.cancelRequested() ? Status(Error{ErrorCode::Io, "cancelled"})
                                              : Status();
        };
        const Status read = PumpBytes(*segment.value(), entry.path, entry.size,
                                      std::span(buffer.get(), kJoinBufferSize), sink);
        if (!read) {
            return stopped(observer, read.error());
        }
        if (hash.hexDigest() != set.checksums[i].digest) {
            entry.state = SegmentState::DigestDiffers;
            problems.push_back(segmentDiffers(set, i));
        }
    }
    progress.clear();
    if (problems.empty() && whole.hexDigest() != set.checksums.back().digest) {
        problems.push_back(WholeDigestDiffers(set.checksums.back().name, set.checksumPath));
    }
    return problems.empty() ? JoinResult{} : refused(problems);
}

} // namespace dividra::core
