#include "core/Join.h"

#include "core/ChunkCopy.h"
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
    auto opened = fs.openUnlinked(segment.path, false);
    if (!opened) {
        return WithAction("Can't open", opened.error());
    }
    const auto size = opened.value()->size();
    if (!size || size.value() != segment.size) {
        return Error{ErrorCode::Io, segment.path + ": changed since it was checked"};
    }
    return opened;
}

// A segment's digest, read again from its file. With a hasher, every chunk is read into its
// buffers and handed to it as well, and progress is told.
Result<std::string> segmentDigest(platform::FileSystem& fs, const SegmentEntry& entry,
                                  ChunkWorker* hasher, JoinProgress* progress,
                                  JoinObserver& observer) {
    auto segment = reopen(fs, entry);
    if (!segment) {
        return segment.error();
    }
    std::unique_ptr<std::byte[]> own;
    if (hasher == nullptr) {
        own = std::make_unique_for_overwrite<std::byte[]>(kJoinBufferSize);
    }
    Sha256 hash;
    const auto take = [&](std::span<const std::byte> chunk) -> Status {
        if (hasher != nullptr) {
            if (const Status handed = hasher->handOver(chunk.size()); !handed) {
                return handed;
            }
        }
        hash.update(chunk);
        if (progress != nullptr) {
            progress->add(static_cast<std::int64_t>(chunk.size()));
        }
        return observer.cancelRequested()
                   ? Status(Error{ErrorCode::Io, std::string(kCancelledText)})
                   : Status();
    };
    const ChunkCopy copy{
        [&] { return hasher != nullptr ? hasher->next() : std::span(own.get(), kJoinBufferSize); },
        take, [&](std::int64_t done) { return SegmentEnded(entry.path, done, entry.size); }};
    if (const Status read = CopyChunks(*segment.value(), entry.size, copy); !read) {
        return read.error();
    }
    return hash.hexDigest();
}

// After the whole file's digest differed: the first segment whose own digest differs, read
// again, else the checksum file's line for the whole.
JoinResult findDifference(platform::FileSystem& fs, const JoinSet& set, JoinObserver& observer) {
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        const auto digest = segmentDigest(fs, set.segments[i], nullptr, nullptr, observer);
        if (!digest) {
            return stopped(observer, digest.error());
        }
        if (digest.value() != set.checksums[i].digest) {
            return {JoinOutcome::Refused, segmentDiffers(set, i)};
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
        return refused(SetProblems(set));
    }
    auto target = PrepareJoinTarget(fs, request.outputFolder, set.outputName(), request.force,
                                    InputIds(fs, set), set.info.totalSize);
    if (!target) {
        return {JoinOutcome::Refused, target.error().message};
    }
    JoinWriter writer(fs, std::move(target).value(), !set.checksums.empty());
    if (const Status created = writer.create(); !created) {
        return {JoinOutcome::Failed, created.error().message};
    }
    JoinProgress progress(observer, set.info.totalSize);
    for (const SegmentEntry& entry : set.segments) {
        auto segment = reopen(fs, entry);
        if (!segment) {
            return {JoinOutcome::Failed, segment.error().message};
        }
        const Status copied =
            writer.append(*segment.value(), entry.path, entry.size, nullptr, progress);
        if (!copied) {
            return stopped(observer, copied.error());
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

JoinResult CheckDigests(platform::FileSystem& fs, JoinSet& set, JoinObserver& observer) {
    Sha256 whole;
    auto hasher = ChunkWorker::start(kJoinBufferSize, kJoinHashSlots, {HashInto(whole)});
    if (!hasher) {
        return {JoinOutcome::Failed, hasher.error().message};
    }
    JoinProgress progress(observer, set.info.totalSize);
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < set.segments.size(); ++i) {
        const auto digest =
            segmentDigest(fs, set.segments[i], hasher.value().get(), &progress, observer);
        if (!digest) {
            return stopped(observer, digest.error());
        }
        if (digest.value() != set.checksums[i].digest) {
            set.segments[i].state = SegmentState::DigestDiffers;
            problems.push_back(segmentDiffers(set, i));
        }
    }
    progress.clear();
    if (const Status hashed = hasher.value()->drain(); !hashed) {
        return {JoinOutcome::Failed, hashed.error().message};
    }
    if (problems.empty() && whole.hexDigest() != set.checksums.back().digest) {
        problems.push_back(WholeDigestDiffers(set.checksums.back().name, set.checksumPath));
    }
    return problems.empty() ? JoinResult{} : refused(problems);
}

} // namespace dividra::core
