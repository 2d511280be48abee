#include "core/join/JoinOutput.h"

#include "core/set/SegmentPath.h"
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

} // namespace

ProgressCount JoinProgress(JoinObserver& observer, std::int64_t total) {
    return ProgressCount(total, [&observer](int parts) { observer.progressChanged(parts); });
}

Result<JoinTarget> PrepareJoinTarget(platform::FileSystem& fs, std::string_view folder,
                                     std::string_view name, bool force,
                                     const std::vector<platform::FileId>& inputs,
                                     std::int64_t totalSize) {
    JoinTarget target{HardDrivePrefix(folder) + std::string(name), {}};
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

JoinWriter::JoinWriter(platform::FileSystem& fs, JoinTarget target, bool hashing,
                       std::function<bool()> stop)
    : m_fs(fs), m_target(std::move(target)), m_transfer(kJoinBufferSize, nullptr, std::move(stop)) {
    if (hashing) {
        m_whole.emplace();
    }
}

JoinWriter::~JoinWriter() = default;

Status JoinWriter::create() {
    auto temp = TempFile::create(m_fs, m_target.outputPath);
    if (!temp) {
        return temp.error();
    }
    m_temp = std::move(temp).value();
    if (!m_whole) {
        return {};
    }
    return m_transfer.startConsumers(kJoinHashSlots, {HashInto(*m_whole)});
}

Status JoinWriter::append(platform::File& segment, std::string_view segmentPath,
                          std::int64_t length, Sha256* segmentHash, ProgressCount& progress) {
    const auto write = [&](std::span<const std::byte> chunk) -> Status {
        if (const Status written = m_temp->write(chunk); !written) {
            return written;
        }
        if (segmentHash != nullptr) {
            segmentHash->update(chunk);
        }
        m_written += static_cast<std::int64_t>(chunk.size());
        return {};
    };
    m_flushed = false;
    m_transfer.countInto(&progress);
    const Status copied = m_transfer.pump(segment, length, write, [&](std::int64_t done) {
        return EndedEarly(segmentPath, done, length);
    });
    m_transfer.countInto(nullptr);
    return copied && segmentHash != nullptr ? finishHashing() : copied;
}

Status JoinWriter::finishHashing() {
    return m_transfer.drain();
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
    if (m_temp) {
        m_temp->retarget(path);
    }
    return {};
}

Status JoinWriter::flush() {
    const Status flushed = FlushWritten(m_temp->file());
    m_flushed = flushed.ok();
    return flushed;
}

Status JoinWriter::commit() {
    if (const Status committed = m_temp->commit(m_flushed); !committed) {
        return committed;
    }
    if (const Status synced = m_fs.flushFolder(FolderPart(m_target.outputPath)); !synced) {
        return WithAction("Can't write", synced.error());
    }
    return {};
}

} // namespace dividra::core
