#include "core/join/JoinOutput.h"

#include "core/set/SegmentPath.h"
#include "core/transfer/ChunkCopy.h"
#include "core/transfer/Progress.h"
#include "core/transfer/SafeWrite.h"

#include <algorithm>

namespace dividra::core {
namespace {

bool isInput(const std::optional<platform::FileId>& id,
             const std::vector<platform::FileId>& inputs) {
    return id && std::find(inputs.begin(), inputs.end(), *id) != inputs.end();
}

// A name the join may write, as CheckTarget asks and never one of its own inputs.
Result<std::optional<platform::FileId>> probe(platform::FileSystem& fs, const std::string& path,
                                              const std::vector<platform::FileId>& inputs) {
    auto replaced = fs.probeCreate(path);
    if (!replaced) {
        return WithAction("Can't create", replaced.error());
    }
    if (isInput(replaced.value(), inputs)) {
        return Error{ErrorCode::SameFile,
                     "Can't create " + path + ": it is one of the files being joined"};
    }
    return replaced;
}

Error alreadyExists(const std::string& path) {
    return Error{ErrorCode::AlreadyExists, path + ": already exists"};
}

// A replaced output frees nothing: the temporary is written beside it.
Status checkRoom(platform::FileSystem& fs, std::string_view folder, const std::string& output,
                 std::int64_t totalSize) {
    const std::int64_t free = fs.folderSpace(folder).freeBytes;
    if (free < 0 || free >= totalSize) {
        return {};
    }
    return Error{ErrorCode::DiskFull, "Not enough room for " + output + ": " +
                                          std::to_string(totalSize) + " bytes needed, " +
                                          std::to_string(free) + " free"};
}

// Whether a name holds an output to keep: a file, or a link, live or dangling.
bool outputExists(const platform::FileSystem& fs, const std::string& path,
                  const std::optional<platform::FileId>& replaced) {
    return replaced.has_value() || fs.isSymbolicLink(path);
}

// Temporaries never reuse a name: one that is there may be a link to a file of the user's.
constexpr int kTempNames = 100;

std::string tempCandidate(std::string_view outputPath, int n) {
    return n == 0 ? JoinTempPath(outputPath)
                  : std::string(outputPath) + "." + std::to_string(n) + ".dividra-part";
}

} // namespace

void JoinProgress::add(std::int64_t bytes) {
    m_done += bytes;
    const int parts = ProgressParts(m_done, m_total);
    if (parts != m_shown) {
        m_shown = parts;
        m_observer.progressChanged(parts);
    }
}

void JoinProgress::clear() {
    if (m_shown != 0) {
        m_shown = 0;
        m_observer.progressChanged(0);
    }
}

Error SegmentEnded(std::string_view path, std::int64_t done, std::int64_t length) {
    return Error{ErrorCode::Io, "Can't read " + std::string(path) + ": it ended after " +
                                    std::to_string(done) + " of " + std::to_string(length) +
                                    " bytes"};
}

std::string JoinTempPath(std::string_view outputPath) {
    return std::string(outputPath) + ".dividra-part";
}

Result<JoinTarget> PrepareJoinTarget(platform::FileSystem& fs, std::string_view folder,
                                     std::string_view name, bool force,
                                     const std::vector<platform::FileId>& inputs,
                                     std::int64_t totalSize) {
    JoinTarget target{HardDrivePrefix(folder) + std::string(name), {}, {}};
    target.tempPath = JoinTempPath(target.outputPath);
    auto lock = fs.lockFolder(folder);
    if (!lock) {
        if (lock.error().code == ErrorCode::SharingViolation) {
            return Error{ErrorCode::SharingViolation,
                         std::string(folder) + ": another split or join is writing there now"};
        }
        return lock.error();
    }
    target.lock = std::move(lock).value();
    const auto output = probe(fs, target.outputPath, inputs);
    if (!output) {
        return output.error();
    }
    if (outputExists(fs, target.outputPath, output.value()) && !force) {
        return alreadyExists(target.outputPath);
    }
    if (const Status room = checkRoom(fs, folder, target.outputPath, totalSize); !room) {
        return room.error();
    }
    return target;
}

JoinWriter::JoinWriter(platform::FileSystem& fs, JoinTarget target, bool hashing)
    : m_fs(fs), m_target(std::move(target)) {
    if (hashing) {
        m_whole.emplace();
    } else {
        m_buffer = std::make_unique_for_overwrite<std::byte[]>(kJoinBufferSize);
    }
}

JoinWriter::~JoinWriter() {
    if (m_file) {
        (void)m_file->close();
    }
    if (m_created && !m_committed && m_fs.fileId(m_target.tempPath) == m_createdId) {
        (void)m_fs.deleteFile(m_target.tempPath);
    }
}

Status JoinWriter::create() {
    const std::string outputPath = m_target.outputPath;
    for (int n = 0; !m_file; ++n) {
        m_target.tempPath = tempCandidate(outputPath, n);
        auto created = m_fs.createNew(m_target.tempPath);
        if (!created && (created.error().code != ErrorCode::AlreadyExists || n + 1 == kTempNames)) {
            return WithAction("Can't create", created.error());
        }
        if (created) {
            m_file = std::move(created).value();
        }
    }
    m_created = true;
    m_createdId = m_file->id();
    if (!m_whole) {
        return {};
    }
    auto started = ChunkWorker::start(kJoinBufferSize, kJoinHashSlots, {HashInto(*m_whole)});
    if (!started) {
        return started.error();
    }
    m_hasher = std::move(started).value();
    return {};
}

Status JoinWriter::append(platform::File& segment, std::string_view segmentPath,
                          std::int64_t length, Sha256* segmentHash, JoinProgress& progress) {
    const auto take = [&](std::span<const std::byte> chunk) -> Status {
        if (m_hasher) {
            if (const Status handed = m_hasher->handOver(chunk.size()); !handed) {
                return handed;
            }
        }
        if (const Status written = WriteAll(*m_file, m_target.tempPath, chunk); !written) {
            return written;
        }
        if (segmentHash != nullptr) {
            segmentHash->update(chunk);
        }
        m_written += static_cast<std::int64_t>(chunk.size());
        progress.add(static_cast<std::int64_t>(chunk.size()));
        if (progress.observer().cancelRequested()) {
            return Error{ErrorCode::Io, std::string(kCancelledText)};
        }
        return {};
    };
    const ChunkCopy copy{
        [this] { return m_hasher ? m_hasher->next() : std::span(m_buffer.get(), kJoinBufferSize); },
        take, [&](std::int64_t done) { return SegmentEnded(segmentPath, done, length); }};
    m_flushed = false;
    const Status copied = CopyChunks(segment, length, copy);
    return copied && segmentHash != nullptr ? finishHashing() : copied;
}

Status JoinWriter::finishHashing() {
    return m_hasher ? m_hasher->drain() : Status();
}

std::string JoinWriter::wholeDigest() {
    return m_whole && finishHashing() ? m_whole->hexDigest() : std::string();
}

Status JoinWriter::retarget(std::string_view name, bool force) {
    const std::string path = HardDrivePrefix(FolderPart(m_target.outputPath)) + std::string(name);
    const auto output = probe(m_fs, path, {});
    if (!output) {
        return output.error();
    }
    if (outputExists(m_fs, path, output.value()) && !force) {
        return alreadyExists(path);
    }
    m_target.outputPath = path;
    return {};
}

Status JoinWriter::flush() {
    const Status flushed = FlushWritten(*m_file);
    m_flushed = flushed.ok();
    return flushed;
}

Status JoinWriter::commit() {
    const Status flushed = m_flushed ? Status() : FlushWritten(*m_file);
    const Status closed = CloseAfter(*m_file, flushed);
    m_file.reset();
    if (!closed) {
        return closed;
    }
    if (const Status renamed = m_fs.renameFile(m_target.tempPath, m_target.outputPath); !renamed) {
        return WithAction("Can't rename " + m_target.tempPath + " to", renamed.error());
    }
    m_committed = true;
    if (const Status synced = m_fs.flushFolder(FolderPart(m_target.outputPath)); !synced) {
        return WithAction("Can't write", synced.error());
    }
    return {};
}

} // namespace dividra::core
