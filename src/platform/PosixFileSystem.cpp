#include "platform/PosixFileSystem.h"

#include "platform/AsciiText.h"
#include "platform/DosPath.h"
#include "platform/HostFolder.h"
#include "platform/HostSync.h"
#include "platform/PosixFile.h"
#include "platform/ShortName.h"
#include "platform/Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

namespace {

// The host folder that holds a located entry.
std::string parentOf(const Located& located) {
    const auto slash = located.host.rfind('/');
    return slash == 0 ? std::string("/") : located.host.substr(0, slash);
}

// What creating a name under its exact spelling meets.
struct CreateTarget {
    Located located;
    std::optional<FileId> replaced; // the regular file the name holds now
    bool unlinkFirst = false;       // a symbolic link, or a file stored in another letter case
};

// A name that reaches a file of another long name through the kernel's own alias.
Error aliasClash(std::string_view path, const std::string& otherName) {
    const std::string_view folder = path.substr(0, path.rfind('\\') + 1);
    return Error{ErrorCode::AccessDenied, std::string(path) + ": this name is the 8.3 alias of " +
                                              std::string(folder) + otherName +
                                              ", which it would overwrite"};
}

// Refuses what createAlways must never replace; notes what it must unlink first.
Result<CreateTarget> createTarget(const DriveTable& drives, std::string_view path) {
    auto found = locate(drives, path, LastName::Exact);
    if (!found) {
        return found.error();
    }
    CreateTarget target{std::move(found).value(), std::nullopt, false};
    const Located& at = target.located;
    if (at.names.empty()) {
        return osError(EISDIR, path);
    }
    struct stat info {};
    if (::lstat(at.host.c_str(), &info) != 0) {
        return errno == ENOENT ? Result<CreateTarget>(std::move(target)) : osError(errno, path);
    }
    const std::string folder = parentOf(at);
    if (kernelMatchesNames(folder)) {
        auto listing = listFolder(folder);
        if (listing.index() == 1) {
            return folderError(std::get<1>(listing), path);
        }
        if (auto other = otherNameReached(std::get<0>(listing), at.names.back())) {
            if (other->byAlias) {
                return aliasClash(path, other->name);
            }
            target.unlinkFirst = true;
        }
    }
    if (S_ISLNK(info.st_mode)) {
        target.unlinkFirst = true;
    } else if (S_ISDIR(info.st_mode)) {
        return osError(EISDIR, path);
    } else if (!S_ISREG(info.st_mode)) {
        return notRegularError(path);
    } else if ((info.st_mode & S_IWUSR) == 0) {
        return readOnlyError(path);
    } else {
        target.replaced = idOf(info);
        // A hard link shares its bytes with another name: replace the entry, not the bytes.
        target.unlinkFirst = target.unlinkFirst || info.st_nlink > 1;
    }
    return target;
}

// Whether another open file holds a lock on the regular file at `host`.
bool heldElsewhere(const std::string& host) {
    const UniqueFd fd = openRetrying(host, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    return fd && tryLock(fd.get(), LOCK_EX) != 0;
}

// Unlinks an entry unless someone holds it locked.
Status unlinkUnlessHeld(const std::string& host, std::string_view path) {
    if (heldElsewhere(host)) {
        return sharingError(path);
    }
    if (::unlink(host.c_str()) != 0) {
        return osError(errno, path);
    }
    return {};
}

FolderSpace spaceOf(const std::string& host) {
    struct statvfs volume {};
    if (::statvfs(host.c_str(), &volume) != 0) {
        return {};
    }
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t unit = volume.f_frsize == 0 ? 1 : volume.f_frsize;
    const std::uint64_t blocks = volume.f_bavail;
    return {static_cast<std::int64_t>(blocks > limit / unit ? limit : blocks * unit),
            static_cast<std::int64_t>(std::min<std::uint64_t>(unit, limit))};
}

class FlockHold final : public FolderLock {
public:
    explicit FlockHold(UniqueFd fd) : m_fd(std::move(fd)) {}

private:
    UniqueFd m_fd; // closing it releases the flock
};

// A file standing for a removable drive: its host folder or device, escaped into one name.
std::string driveLockFile(const DriveEntry& drive) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string name = "dividra-drive-";
    for (const char c : drive.device.empty() ? drive.hostRoot : drive.device) {
        const auto u = static_cast<unsigned char>(c);
        if (isAsciiLetter(c) || isAsciiDigit(c) || c == '-' || c == '.') {
            name += c;
        } else {
            name += {'_', kLowerHexDigits[u >> 4], kLowerHexDigits[u & 15]};
        }
    }
    const std::string folder = runtime != nullptr && *runtime == '/' ? runtime : "/tmp";
    return hostChild(folder, name + ".lock");
}

Result<std::unique_ptr<FolderLock>> holdExclusively(const std::string& host, int flags,
                                                    std::string_view path) {
    UniqueFd fd = openRetrying(host, flags | O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (!fd && errno == EACCES && (flags & O_CREAT) != 0) {
        // Another user's lock file in a sticky folder can still be opened as it is.
        fd = openRetrying(host, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (!fd) {
        return osError(errno, path);
    }
    if (tryLock(fd.get(), LOCK_EX) != 0) {
        return Error{ErrorCode::SharingViolation,
                     std::string(path) + ": another split is writing there now"};
    }
    return std::unique_ptr<FolderLock>(std::make_unique<FlockHold>(std::move(fd)));
}

} // namespace

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
    return root ? spaceOf(*root).freeBytes : -1;
}

FolderSpace PosixFileSystem::folderSpace(std::string_view folder) const {
    auto found = locateExisting(m_drives, folder, ErrorCode::PathNotFound);
    return found ? spaceOf(found.value().host) : FolderSpace{};
}

Result<std::unique_ptr<File>> PosixFileSystem::openExisting(std::string_view path, bool lock,
                                                            bool noLink) {
    auto found = locateExisting(m_drives, path);
    if (!found) {
        return found.error();
    }
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (noLink ? O_NOFOLLOW : 0);
    UniqueFd fd = openRetrying(found.value().host, flags);
    if (!fd) {
        if (noLink && errno == ELOOP) {
            return Error{ErrorCode::AccessDenied,
                         std::string(path) + ": is a symbolic link, not a regular file"};
        }
        return osError(errno, path);
    }
    if (lock && tryLock(fd.get(), LOCK_SH) != 0) {
        return sharingError(path);
    }
    return adoptRegular(std::move(fd), path);
}

Result<std::unique_ptr<File>> PosixFileSystem::openRead(std::string_view path) {
    return openExisting(path, true, false);
}

Result<std::unique_ptr<File>> PosixFileSystem::openReadShared(std::string_view path) {
    return openExisting(path, false, false);
}

Result<std::unique_ptr<File>> PosixFileSystem::openUnlinked(std::string_view path, bool shared) {
    return openExisting(path, !shared, true);
}

bool PosixFileSystem::isSymbolicLink(std::string_view path) const {
    auto found = locate(m_drives, path, LastName::Exact);
    struct stat info {};
    return found && !found.value().names.empty() &&
           ::lstat(found.value().host.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

Result<std::unique_ptr<File>> PosixFileSystem::createNew(std::string_view path) {
    auto found = locate(m_drives, path, LastName::Exact);
    if (!found) {
        return found.error();
    }
    if (found.value().names.empty()) {
        return osError(EISDIR, path);
    }
    // O_EXCL: an entry there, a link of any kind too, is never opened, let alone truncated.
    const int flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd = openRetrying(found.value().host, flags, 0666);
    if (!fd) {
        return errno == EEXIST ? Error{ErrorCode::AlreadyExists, std::string(path) + ": exists"}
                               : osError(errno, path);
    }
    if (tryLock(fd.get(), LOCK_EX) != 0) {
        return sharingError(path);
    }
    return adoptRegular(std::move(fd), path);
}

Result<std::unique_ptr<File>> PosixFileSystem::createAlways(std::string_view path) {
    auto target = createTarget(m_drives, path);
    if (!target) {
        return target.error();
    }
    const std::string& host = target.value().located.host;
    if (target.value().unlinkFirst) {
        if (const Status removed = unlinkUnlessHeld(host, path); !removed) {
            return removed.error();
        }
    }
    const int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    UniqueFd fd = openRetrying(host, flags, 0666);
    if (!fd) {
        return osError(errno, path);
    }
    // Lock before truncating: a file someone else holds must keep its bytes.
    if (tryLock(fd.get(), LOCK_EX) != 0) {
        return sharingError(path);
    }
    return adoptRegular(std::move(fd), path, true);
}

Status PosixFileSystem::flushFolder(std::string_view folder) {
    auto found = locateExisting(m_drives, folder, ErrorCode::PathNotFound);
    if (!found) {
        return found.error();
    }
    return syncFolder(found.value().host, folder);
}

Result<std::optional<FileId>> PosixFileSystem::probeCreate(std::string_view path) const {
    auto target = createTarget(m_drives, path);
    if (!target) {
        return target.error();
    }
    return target.value().replaced;
}

Result<std::unique_ptr<FolderLock>> PosixFileSystem::lockFolder(std::string_view folder) {
    auto parts = splitDosPath(folder);
    if (!parts) {
        return parts.error();
    }
    const DriveEntry* drive = m_drives.find(parts.value().letter);
    if (drive != nullptr && drive->type == DriveType::Removable &&
        parts.value().components.empty()) {
        return holdExclusively(driveLockFile(*drive), O_CREAT, folder);
    }
    auto found = locateExisting(m_drives, folder, ErrorCode::PathNotFound);
    if (!found) {
        return found.error();
    }
    return holdExclusively(found.value().host, O_DIRECTORY, folder);
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
        return (info.st_mode & S_IWUSR) == 0 ? Status(readOnlyError(path))
                                             : unlinkUnlessHeld(host, path);
    }
    // Links, FIFOs and devices are not opened to ask for their lock.
    if (::unlink(host.c_str()) != 0) {
        return osError(errno, path);
    }
    return {};
}

Status PosixFileSystem::renameFile(std::string_view from, std::string_view to) {
    auto found = locateExisting(m_drives, from);
    if (!found) {
        return found.error();
    }
    struct stat info {};
    if (::lstat(found.value().host.c_str(), &info) != 0) {
        return osError(errno, from);
    }
    if (!S_ISREG(info.st_mode)) {
        return notRegularError(from);
    }
    auto target = createTarget(m_drives, to);
    if (!target) {
        return target.error();
    }
    const std::string& host = target.value().located.host;
    if (target.value().replaced && heldElsewhere(host)) {
        return sharingError(to);
    }
    if (target.value().unlinkFirst) {
        if (const Status removed = unlinkUnlessHeld(host, to); !removed) {
            return removed;
        }
    }
    if (::rename(found.value().host.c_str(), host.c_str()) != 0) {
        return errno == EXDEV
                   ? Error{ErrorCode::AccessDenied,
                           std::string(to) + ": on another volume than " + std::string(from)}
                   : osError(errno, to);
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
        // Only a VFAT listing brings aliases; elsewhere one alias is worked out on its own.
        auto listing = listFolder(folderHost, false);
        if (listing.index() == 1) {
            return folderError(std::get<1>(listing), path);
        }
        const FolderNames& folder = std::get<0>(listing);
        const auto at = std::find(folder.names.begin(), folder.names.end(), name);
        aliases.push_back(
            at == folder.names.end() || folder.aliases.empty()
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
