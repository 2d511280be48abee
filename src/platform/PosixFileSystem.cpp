#include "PosixFileSystem.h"

#include "DosPath.h"
#include "HostFolder.h"
#include "PosixFile.h"
#include "ShortName.h"
#include "Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>
#include <variant>

namespace dividra::platform {

using namespace detail;

PosixFileSystem::PosixFileSystem(DriveTable drives) : m_drives(std::move(drives)) {}

std::vector<DriveInfo> PosixFileSystem::drives() const {
    std::vector<DriveInfo> out;
    for (const DriveEntry& entry : m_drives.entries()) {
        out.push_back({entry.letter, entry.type, entry.label});
    }
    return out;
}

DriveType PosixFileSystem::driveType(std::string_view root) const {
    const bool shaped = (root.size() == 1) || (root.size() == 2 && root[1] == ':') ||
                        (root.size() == 3 && root[1] == ':' && root[2] == '\\');
    const DriveEntry* entry = shaped ? m_drives.find(root[0]) : nullptr;
    return entry == nullptr ? DriveType::NoRootDir : entry->type;
}

std::int64_t PosixFileSystem::freeBytes(int driveNumber) const {
    if (driveNumber < 1 || driveNumber > 26) {
        return -1;
    }
    const auto root = m_drives.currentRoot(static_cast<char>('a' + driveNumber - 1));
    struct statvfs volume {};
    if (!root || ::statvfs(root->c_str(), &volume) != 0) {
        return -1;
    }
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t unit = volume.f_frsize == 0 ? 1 : volume.f_frsize;
    const std::uint64_t blocks = volume.f_bavail;
    return static_cast<std::int64_t>(blocks > limit / unit ? limit : blocks * unit);
}

Result<std::unique_ptr<File>> PosixFileSystem::openExisting(std::string_view path, bool lock) {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    const int fd = openRetrying(found.value().host, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return osError(errno, path);
    }
    if (lock && tryLock(fd, LOCK_SH) != 0) {
        ::close(fd);
        return sharingError(path);
    }
    return adoptRegular(fd, path);
}

Result<std::unique_ptr<File>> PosixFileSystem::openRead(std::string_view path) {
    return openExisting(path, true);
}

Result<std::unique_ptr<File>> PosixFileSystem::openReadShared(std::string_view path) {
    return openExisting(path, false);
}

Result<std::unique_ptr<File>> PosixFileSystem::createAlways(std::string_view path) {
    auto found = locate(m_drives, path);
    if (!found) {
        return found.error();
    }
    const std::string& host = found.value().host;
    struct stat info {};
    if (found.value().names.empty()) {
        return osError(EISDIR, path);
    }
    if (::lstat(host.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode) && ::unlink(host.c_str()) != 0) {
            return osError(errno, path);
        }
        if (S_ISDIR(info.st_mode)) {
            return osError(EISDIR, path);
        }
        if (S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
            return readOnlyError(path);
        }
    }
    const int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int fd = openRetrying(host, flags, 0666);
    if (fd < 0) {
        return osError(errno, path);
    }
    // Lock before truncating: a file someone else holds must keep its bytes.
    if (tryLock(fd, LOCK_EX) != 0) {
        ::close(fd);
        return sharingError(path);
    }
    auto file = adoptRegular(fd, path);
    if (file && ::ftruncate(fd, 0) != 0) {
        return osError(errno, path);
    }
    return file;
}

Status PosixFileSystem::deleteFile(std::string_view path) {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    const std::string& host = found.value().host;
    struct stat info {};
    if (::lstat(host.c_str(), &info) != 0) {
        return osError(errno, path);
    }
    if (S_ISDIR(info.st_mode)) {
        return osError(EISDIR, path);
    }
    if (S_ISREG(info.st_mode)) {
        if ((info.st_mode & S_IWUSR) == 0) {
            return readOnlyError(path);
        }
        const int fd = openRetrying(host, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        const bool held = fd >= 0 && tryLock(fd, LOCK_EX) != 0;
        if (fd >= 0) {
            ::close(fd);
        }
        if (held) {
            return sharingError(path);
        }
    }
    if (::unlink(host.c_str()) != 0) {
        return osError(errno, path);
    }
    return {};
}

Result<std::uint32_t> PosixFileSystem::attributes(std::string_view path) const {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    struct stat info {};
    if (!statEntry(found.value().host, info)) {
        return osError(errno, path);
    }
    const auto& names = found.value().names;
    return attributesOf(info, names.empty() ? std::string_view() : names.back());
}

Status PosixFileSystem::setAttributes(std::string_view path, std::uint32_t attributes) {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    struct stat info {};
    if (::stat(found.value().host.c_str(), &info) != 0) {
        return osError(errno, path);
    }
    const mode_t mode =
        (attributes & attr::ReadOnly) != 0 ? (info.st_mode & ~S_IWUSR) : (info.st_mode | S_IWUSR);
    if ((mode & 07777) != (info.st_mode & 07777) &&
        ::chmod(found.value().host.c_str(), mode & 07777) != 0) {
        return osError(errno, path);
    }
    return {};
}

Status PosixFileSystem::removeFolder(std::string_view path) {
    auto found = locateExisting(m_drives, path, ErrorCode::PathNotFound);
    if (!found) {
        return found.error();
    }
    if (found.value().names.empty()) {
        return Error{ErrorCode::AccessDenied,
                     std::string(path) + ": a drive root can't be removed"};
    }
    struct stat info {};
    if (::lstat(found.value().host.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        return osError(ENOTDIR, path);
    }
    if (::rmdir(found.value().host.c_str()) != 0) {
        return osError(errno, path);
    }
    return {};
}

Result<std::vector<FindEntry>> PosixFileSystem::find(std::string_view pattern,
                                                     std::uint32_t attributeMask) const {
    const auto slash = pattern.rfind('\\');
    if (slash == std::string_view::npos) {
        return Error{ErrorCode::PathNotFound, std::string(pattern) + ": not a full path"};
    }
    const std::string_view namePattern = pattern.substr(slash + 1);
    auto found = locateExisting(m_drives, pattern.substr(0, slash + 1), ErrorCode::PathNotFound);
    if (!found) {
        return found.error();
    }
    auto listing = listFolder(found.value().host);
    if (listing.index() == 1) {
        return folderError(std::get<1>(listing), pattern);
    }
    FolderNames& folder = std::get<0>(listing);
    if (!found.value().names.empty()) {
        folder.names.insert(folder.names.begin(), {".", ".."});
        folder.aliases.insert(folder.aliases.begin(), {".", ".."});
    }
    std::vector<FindEntry> entries;
    for (std::size_t i = 0; i < folder.names.size(); ++i) {
        const std::string& name = folder.names[i];
        struct stat info {};
        if (!isDosShowableName(name) || !matchesDosPattern(name, namePattern) ||
            !statEntry(hostChild(found.value().host, name), info)) {
            continue;
        }
        const std::uint32_t bits = attributesOf(info, name);
        if (passesAttributeMask(bits, attributeMask)) {
            const bool folderEntry = (bits & attr::Directory) != 0;
            entries.push_back({name, folder.aliases[i], bits,
                               folderEntry ? 0 : static_cast<std::int64_t>(info.st_size)});
        }
    }
    return entries;
}

Result<std::string> PosixFileSystem::shortPath(std::string_view path) const {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    const Located& located = found.value();
    std::vector<std::string> aliases;
    std::string folderHost = located.root;
    for (const std::string& name : located.names) {
        auto listing = listFolder(folderHost);
        if (listing.index() == 1) {
            return folderError(std::get<1>(listing), path);
        }
        const FolderNames& folder = std::get<0>(listing);
        const auto at = std::find(folder.names.begin(), folder.names.end(), name);
        aliases.push_back(
            at == folder.names.end()
                ? shortAlias(name, folder.names)
                : folder.aliases[static_cast<std::size_t>(at - folder.names.begin())]);
        folderHost = hostChild(folderHost, name);
    }
    return joinDosPath(located.letter, aliases);
}

Result<std::string> PosixFileSystem::longPath(std::string_view path) const {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    for (const std::string& name : found.value().names) {
        if (!isDosShowableName(name)) {
            return Error{ErrorCode::InvalidName,
                         std::string(path) + ": a name on the way can't be shown as a DOS name"};
        }
    }
    return joinDosPath(found.value().letter, found.value().names);
}

std::optional<FileId> PosixFileSystem::fileId(std::string_view path) const {
    auto found = locateExisting(m_drives, path);
    struct stat info {};
    if (!found || !statEntry(found.value().host, info)) {
        return std::nullopt;
    }
    return idOf(info);
}

Result<std::string> PosixFileSystem::toDosPath(std::string_view hostPath) const {
    return hostToDos(m_drives, hostPath);
}

Result<std::string> PosixFileSystem::toHostPath(std::string_view dosPath) const {
    // The stored names where they exist, so a name typed in another case still finds its file.
    auto located = locate(m_drives, dosPath);
    if (!located) {
        return located.error();
    }
    return located.value().host;
}

} // namespace dividra::platform
