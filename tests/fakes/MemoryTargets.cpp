#include "fakes/MemoryFileSystem.h"
#include "fakes/MemoryVolume.h"

#include <string>

// What a split asks of its destination before it writes: room, the names it will create, and
// its lock.
namespace dividra::platform {
namespace {

class MemoryLock final : public FolderLock {
public:
    MemoryLock(std::weak_ptr<memfs::State> state, std::string key)
        : m_state(std::move(state)), m_key(std::move(key)) {}
    ~MemoryLock() override {
        if (const auto state = m_state.lock()) {
            state->lockedFolders.erase(m_key);
        }
    }
    MemoryLock(const MemoryLock&) = delete;
    MemoryLock& operator=(const MemoryLock&) = delete;

private:
    std::weak_ptr<memfs::State> m_state;
    std::string m_key;
};

} // namespace

FolderSpace MemoryFileSystem::folderSpace(std::string_view folder) const {
    auto target = memfs::locate(*m_state, folder);
    const bool found = target && target.value().at.node && target.value().at.node->folder;
    const FolderSpace space =
        found ? FolderSpace{target.value().medium->freeBytes(), target.value().medium->clusterSize}
              : FolderSpace{};
    m_state->record("folderSpace", folder, std::nullopt, space.freeBytes);
    return space;
}

Result<std::optional<FileId>> MemoryFileSystem::probeCreate(std::string_view path) const {
    auto target = memfs::locate(*m_state, path);
    if (!target) {
        return target.error();
    }
    const auto& [medium, parts, at] = target.value();
    if (parts.names.empty() || (at.node && at.node->folder)) {
        return memfs::makeError(ErrorCode::AccessDenied, path, "Is a directory");
    }
    if (!memfs::isValidName(parts.names.back())) {
        return memfs::makeError(ErrorCode::InvalidName, path,
                                memfs::reasonFor(ErrorCode::InvalidName));
    }
    if (!at.node) {
        return std::optional<FileId>();
    }
    if ((at.node->attributes & attr::ReadOnly) != 0) {
        return memfs::makeError(ErrorCode::AccessDenied, path,
                                memfs::reasonFor(ErrorCode::AccessDenied));
    }
    return std::optional<FileId>(FileId{medium->device, at.node->inode});
}

Status MemoryFileSystem::flushFolder(std::string_view folder) {
    auto target = memfs::locate(*m_state, folder);
    if (!target || !target.value().at.node || !target.value().at.node->folder) {
        m_state->record("flushFolder", folder, ErrorCode::PathNotFound);
        return memfs::makeError(ErrorCode::PathNotFound, folder,
                                memfs::reasonFor(ErrorCode::PathNotFound));
    }
    m_state->record("flushFolder", folder, std::nullopt);
    return {};
}

Result<std::unique_ptr<FolderLock>> MemoryFileSystem::lockFolder(std::string_view folder) {
    const memfs::DosParts parts = memfs::splitDosPath(folder);
    const bool driveRoot =
        parts.letter != 0 && parts.names.empty() && m_state->drives.count(parts.letter) != 0;
    // A drive root is locked whether or not a medium is in the drive; a folder by its identity,
    // however its path is spelt.
    std::string key(1, parts.letter);
    if (!driveRoot) {
        auto target = memfs::locate(*m_state, folder);
        if (!target || !target.value().at.node || !target.value().at.node->folder) {
            return memfs::makeError(ErrorCode::PathNotFound, folder,
                                    memfs::reasonFor(ErrorCode::PathNotFound));
        }
        key = std::to_string(target.value().medium->device) + ":" +
              std::to_string(target.value().at.node->inode);
    }
    if (!m_state->lockedFolders.insert(key).second) {
        m_state->record("lockFolder", folder, ErrorCode::SharingViolation);
        return Error{ErrorCode::SharingViolation,
                     std::string(folder) + ": another split is writing there now"};
    }
    m_state->record("lockFolder", folder, std::nullopt);
    return std::unique_ptr<FolderLock>(std::make_unique<MemoryLock>(m_state, key));
}

} // namespace dividra::platform
