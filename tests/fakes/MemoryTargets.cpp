#include "fakes/MemoryFileSystem.h"
#include "fakes/MemoryVolume.h"

#include <algorithm>
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

using memfs::makeError;
using memfs::reasonFor;

// What renaming onto the target meets: the refusals of createAlways, and an open file there.
Status checkRenameTarget(const memfs::Target& target, const memfs::MediumData& fromMedium,
                         std::string_view to) {
    const auto& [medium, parts, at] = target;
    if (medium.get() != &fromMedium) {
        return makeError(ErrorCode::AccessDenied, to, "Invalid cross-device link");
    }
    if (medium->writeProtected) {
        return makeError(ErrorCode::AccessDenied, to, "Read-only file system");
    }
    if (parts.names.empty() || (at.node && at.node->folder)) {
        return makeError(ErrorCode::AccessDenied, to, "Is a directory");
    }
    if (!memfs::isValidName(parts.names.back())) {
        return makeError(ErrorCode::InvalidName, to, reasonFor(ErrorCode::InvalidName));
    }
    if (at.node && (at.node->attributes & attr::ReadOnly) != 0) {
        return makeError(ErrorCode::AccessDenied, to, reasonFor(ErrorCode::AccessDenied));
    }
    if (at.node && (at.node->readers > 0 || at.node->writer)) {
        return makeError(ErrorCode::SharingViolation, to, reasonFor(ErrorCode::SharingViolation));
    }
    return {};
}

Status renameAt(memfs::State& state, std::string_view from, std::string_view to) {
    auto source = memfs::locate(state, from);
    if (!source) {
        return source.error();
    }
    const std::shared_ptr<memfs::Node> node = source.value().at.node;
    if (!node || node->folder) {
        return makeError(node ? ErrorCode::AccessDenied : ErrorCode::NotFound, from,
                         node ? "Is a directory" : reasonFor(ErrorCode::NotFound));
    }
    auto target = memfs::locate(state, to);
    if (!target) {
        return target.error();
    }
    memfs::Lookup& at = target.value().at;
    if (at.node != node) {
        if (const Status refused = checkRenameTarget(target.value(), *source.value().medium, to);
            !refused) {
            return refused;
        }
        if (at.node) {
            target.value().medium->detach(*at.folder, *at.node);
        }
        auto& siblings = source.value().at.folder->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), node));
        at.folder->children.push_back(node);
    }
    node->name = target.value().parts.names.back();
    return {};
}

} // namespace

Status MemoryFileSystem::renameFile(std::string_view from, std::string_view to) {
    const Status renamed = renameAt(*m_state, from, to);
    m_state->record("renameFile", to, renamed ? std::nullopt : std::optional(renamed.error().code));
    return renamed;
}

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
