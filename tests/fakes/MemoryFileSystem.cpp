#include "fakes/MemoryFileSystem.h"
#include "platform/AsciiText.h"

#include "fakes/MemoryVolume.h"
#include "platform/ShortName.h"
#include "platform/Wildcard.h"

namespace dividra::platform {

using memfs::makeError;
using memfs::reasonFor;

Result<memfs::Target> memfs::locate(const memfs::State& state, std::string_view path) {
    memfs::DosParts parts = memfs::splitDosPath(path);
    if (parts.letter == 0) {
        return makeError(ErrorCode::InvalidName, path, "No drive letter");
    }
    if (state.drives.count(parts.letter) == 0) {
        return makeError(ErrorCode::PathNotFound, path, "No such drive");
    }
    auto medium = state.mediumIn(parts.letter);
    if (!medium) {
        return makeError(ErrorCode::NotReady, path, reasonFor(ErrorCode::NotReady));
    }
    auto at = memfs::lookUp(*medium, parts.names, path);
    if (!at) {
        return at.error();
    }
    return Target{std::move(medium), std::move(parts), std::move(at).value()};
}

namespace {

using memfs::locate;
using memfs::Target;

// The existing entry at the path, for calls that change it.
Result<Target> locateExisting(const memfs::State& state, std::string_view path, bool changing) {
    auto target = locate(state, path);
    if (target && !target.value().at.node) {
        return makeError(ErrorCode::NotFound, path, reasonFor(ErrorCode::NotFound));
    }
    if (target && changing && target.value().medium->writeProtected) {
        return makeError(ErrorCode::AccessDenied, path, "Read-only file system");
    }
    return target;
}

template <class R> R logged(memfs::State& state, std::string_view op, std::string_view path, R r) {
    state.record(op, path, r.ok() ? std::nullopt : std::optional(r.error().code));
    return r;
}

// The file emptied, or made, for writing.
Result<std::unique_ptr<File>> createAt(const std::shared_ptr<memfs::State>& state,
                                       std::string_view path) {
    auto target = locate(*state, path);
    if (!target) {
        return target.error();
    }
    auto& [medium, parts, at] = target.value();
    auto node = at.node;
    if (parts.names.empty() || (node && node->folder)) {
        return makeError(ErrorCode::AccessDenied, path, "Is a directory");
    }
    if (!memfs::isValidName(parts.names.back())) {
        return makeError(ErrorCode::InvalidName, path, reasonFor(ErrorCode::InvalidName));
    }
    if (medium->writeProtected) {
        return makeError(ErrorCode::AccessDenied, path, "Read-only file system");
    }
    if (auto error = state->callFault(Fault::Kind::CreateFails, parts, path)) {
        return std::move(*error);
    }
    if (node && (node->attributes & attr::ReadOnly) != 0) {
        return makeError(ErrorCode::AccessDenied, path, reasonFor(ErrorCode::AccessDenied));
    }
    if (node && (node->readers > 0 || node->writer)) {
        return makeError(ErrorCode::SharingViolation, path, reasonFor(ErrorCode::SharingViolation));
    }
    if (node) {
        // As a case-blind file system replaces the entry: the new file has the name given.
        node->name = parts.names.back();
        medium->resize(*node, 0);
        node->attributes = attr::Archive | (node->attributes & (attr::Hidden | attr::System));
    } else {
        node = medium->newNode(parts.names.back(), false);
        node->attributes = attr::Archive;
        at.folder->children.push_back(node);
    }
    return memfs::openFile(memfs::Opening{state, medium, std::move(node), std::move(parts),
                                          std::string(path), memfs::OpenMode::Write});
}

// As createAt, for a name that holds nothing yet (letter case aside, as on DOS).
Result<std::unique_ptr<File>> createNewAt(const std::shared_ptr<memfs::State>& state,
                                          std::string_view path) {
    auto target = locate(*state, path);
    if (target && target.value().at.node) {
        return makeError(ErrorCode::AlreadyExists, path, reasonFor(ErrorCode::AlreadyExists));
    }
    return createAt(state, path);
}

Status deleteAt(memfs::State& state, std::string_view path) {
    auto target = locateExisting(state, path, true);
    if (!target) {
        return target.error();
    }
    auto& [medium, parts, at] = target.value();
    if (at.node->folder) {
        return makeError(ErrorCode::AccessDenied, path, "Is a directory");
    }
    if ((at.node->attributes & attr::ReadOnly) != 0) {
        return makeError(ErrorCode::AccessDenied, path, reasonFor(ErrorCode::AccessDenied));
    }
    medium->detach(*at.folder, *at.node);
    return {};
}

Status removeFolderAt(memfs::State& state, std::string_view path) {
    auto target = locateExisting(state, path, true);
    if (!target) {
        return target.error();
    }
    auto& [medium, parts, at] = target.value();
    if (parts.names.empty()) {
        return makeError(ErrorCode::AccessDenied, path, "Cannot remove a drive root");
    }
    if (!at.node->folder) {
        return makeError(ErrorCode::AccessDenied, path, "Not a directory");
    }
    if (!at.node->children.empty()) {
        return makeError(ErrorCode::AccessDenied, path, "Directory not empty");
    }
    if ((at.node->attributes & attr::ReadOnly) != 0) {
        return makeError(ErrorCode::AccessDenied, path, reasonFor(ErrorCode::AccessDenied));
    }
    medium->detach(*at.folder, *at.node);
    return {};
}

// The path in the form the file system reports, or with every name as its 8.3 alias.
Result<std::string> spelled(const memfs::State& state, std::string_view path, bool asShort) {
    auto target = locateExisting(state, path, false);
    if (!target) {
        return target.error();
    }
    std::string out = std::string(path.substr(0, 2));
    const memfs::Node* folder = target.value().medium->root.get();
    for (const auto& name : target.value().parts.names) {
        std::vector<std::string> siblings;
        std::size_t index = 0;
        for (const auto& child : folder->children) {
            if (equalsIgnoringCase(child->name, name)) {
                index = siblings.size();
            }
            siblings.push_back(child->name);
        }
        out += "\\" + (asShort ? shortAliases(siblings)[index] : siblings[index]);
        folder = folder->children[index].get();
    }
    return target.value().parts.names.empty() ? out + "\\" : out;
}

} // namespace

std::vector<DriveInfo> MemoryFileSystem::drives() const {
    std::vector<DriveInfo> out;
    for (const auto& [letter, drive] : m_state->drives) {
        const auto medium = m_state->mediumIn(letter);
        out.push_back(DriveInfo{letter, drive.type, medium ? medium->label : std::string()});
    }
    return out;
}

DriveType MemoryFileSystem::driveType(std::string_view root) const {
    const memfs::DosParts parts =
        memfs::splitDosPath(root.size() == 1 ? std::string(root) + ":" : std::string(root));
    if (parts.letter == 0 || !parts.names.empty() || root.size() > 3) {
        return DriveType::NoRootDir;
    }
    const auto drive = m_state->drives.find(parts.letter);
    return drive == m_state->drives.end() ? DriveType::NoRootDir : drive->second.type;
}

std::int64_t MemoryFileSystem::freeBytes(int driveNumber) const {
    const bool valid = driveNumber >= 1 && driveNumber <= 26;
    const char letter = valid ? static_cast<char>('a' + driveNumber - 1) : '?';
    const auto medium = valid ? m_state->mediumIn(letter) : nullptr;
    const std::int64_t free = medium ? medium->freeBytes() : -1;
    m_state->record("freeBytes", std::string(1, letter) + ":", std::nullopt, free);
    return free;
}

Result<std::unique_ptr<File>> MemoryFileSystem::open(std::string_view op, std::string_view path) {
    auto target = locateExisting(*m_state, path, false);
    if (!target) {
        return target.error();
    }
    auto& [medium, parts, at] = target.value();
    if (at.node->folder) {
        return makeError(ErrorCode::AccessDenied, path, "Is a directory");
    }
    const bool locking = op == "openRead";
    if (locking && at.node->writer) {
        return makeError(ErrorCode::SharingViolation, path, reasonFor(ErrorCode::SharingViolation));
    }
    return memfs::openFile(
        memfs::Opening{m_state, medium, at.node, std::move(parts), std::string(path),
                       locking ? memfs::OpenMode::Read : memfs::OpenMode::ReadShared});
}

Result<std::unique_ptr<File>> MemoryFileSystem::openRead(std::string_view path) {
    return logged(*m_state, "openRead", path, open("openRead", path));
}

Result<std::unique_ptr<File>> MemoryFileSystem::openReadShared(std::string_view path) {
    return logged(*m_state, "openReadShared", path, open("openReadShared", path));
}

Result<std::unique_ptr<File>> MemoryFileSystem::createAlways(std::string_view path) {
    return logged(*m_state, "createAlways", path, createAt(m_state, path));
}

Result<std::unique_ptr<File>> MemoryFileSystem::createNew(std::string_view path) {
    return logged(*m_state, "createNew", path, createNewAt(m_state, path));
}

Status MemoryFileSystem::deleteFile(std::string_view path) {
    return logged(*m_state, "deleteFile", path, deleteAt(*m_state, path));
}

Result<std::uint32_t> MemoryFileSystem::attributes(std::string_view path) const {
    auto target = locateExisting(*m_state, path, false);
    if (!target) {
        return target.error();
    }
    return target.value().at.node->reported();
}

Status MemoryFileSystem::setAttributes(std::string_view path, std::uint32_t attributes) {
    auto target = locateExisting(*m_state, path, true);
    if (target) {
        target.value().at.node->attributes =
            attributes & (attr::ReadOnly | attr::Hidden | attr::System | attr::Archive);
    }
    return logged(*m_state, "setAttributes", path, target ? Status() : Status(target.error()));
}

Status MemoryFileSystem::removeFolder(std::string_view path) {
    return logged(*m_state, "removeFolder", path, removeFolderAt(*m_state, path));
}

Result<std::vector<FindEntry>> MemoryFileSystem::find(std::string_view pattern,
                                                      std::uint32_t attributeMask) const {
    auto target = locate(*m_state, pattern);
    if (!target) {
        return target.error();
    }
    const auto& [medium, parts, at] = target.value();
    if (parts.names.empty()) {
        return makeError(ErrorCode::InvalidName, pattern, "No name pattern");
    }
    const std::string& wanted = parts.names.back();
    std::vector<FindEntry> found;
    for (const char* dots : {".", ".."}) {
        if (parts.names.size() > 1 && matchesDosPattern(dots, wanted) &&
            passesAttributeMask(attr::Directory, attributeMask)) {
            found.push_back(FindEntry{dots, dots, at.folder->reported(), 0});
        }
    }
    std::vector<std::string> names;
    for (const auto& child : at.folder->children) {
        names.push_back(child->name);
    }
    const auto aliases = shortAliases(names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const memfs::Node& child = *at.folder->children[i];
        if (matchesDosPattern(child.name, wanted) &&
            passesAttributeMask(child.reported(), attributeMask)) {
            found.push_back(FindEntry{child.name, aliases[i], child.reported(),
                                      static_cast<std::int64_t>(child.data.size())});
        }
    }
    return found;
}

Result<std::string> MemoryFileSystem::shortPath(std::string_view path) const {
    return spelled(*m_state, path, true);
}

Result<std::string> MemoryFileSystem::longPath(std::string_view path) const {
    return spelled(*m_state, path, false);
}

std::optional<FileId> MemoryFileSystem::fileId(std::string_view path) const {
    auto target = locate(*m_state, path);
    if (!target || !target.value().at.node) {
        return std::nullopt;
    }
    return FileId{target.value().medium->device, target.value().at.node->inode};
}

} // namespace dividra::platform
