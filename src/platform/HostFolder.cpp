#include "platform/HostFolder.h"
#include "platform/AsciiText.h"

#include "platform/DosPath.h"
#include "platform/PosixFile.h"
#include "platform/ShortName.h"
#include "platform/Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#ifdef __linux__
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#endif

namespace dividra::platform::detail {
namespace {

#ifdef __linux__
// The kernel's own long and short names of a VFAT folder; nothing when it isn't one.
std::optional<FolderNames> vfatNames(int dirFd) {
    struct statfs volume {};
    if (::fstatfs(dirFd, &volume) != 0 || volume.f_type != MSDOS_SUPER_MAGIC) {
        return std::nullopt;
    }
    FolderNames folder;
    struct __fat_dirent both[2]{};
    while (::ioctl(dirFd, VFAT_IOCTL_READDIR_BOTH, both) > 0) {
        const auto text = [](const __fat_dirent& d) {
            return std::string(d.d_name, std::min<std::size_t>(d.d_reclen, sizeof d.d_name - 1));
        };
        std::string shortName = text(both[0]);
        std::string longName = both[1].d_reclen == 0 ? shortName : text(both[1]);
        if (longName != "." && longName != "..") {
            folder.names.push_back(std::move(longName));
            folder.aliases.push_back(std::move(shortName));
        }
    }
    return folder;
}
#endif

// The host name of component `typed` in `folder`: itself when it exists, else its matchName;
// nothing when neither exists.
Result<std::optional<std::string>> hostName(const std::string& folder, const std::string& typed,
                                            std::string_view dosPath) {
    struct stat info {};
    if (::lstat(hostChild(folder, typed).c_str(), &info) == 0) {
        return std::optional<std::string>(typed);
    }
    const int err = errno;
    if (err != ENOENT) {
        return osError(err, dosPath);
    }
    // Only a name with "~" can be another name's alias; any other is matched by letter case
    // alone, so a lookup in a big folder doesn't compute every alias.
    auto listing = listFolder(folder, typed.find('~') != std::string::npos);
    if (listing.index() == 1) {
        return folderError(std::get<1>(listing), dosPath);
    }
    return matchName(std::get<0>(listing), typed);
}

} // namespace

std::string hostChild(const std::string& folder, std::string_view name) {
    return folder.back() == '/' ? folder + std::string(name) : folder + "/" + std::string(name);
}

std::variant<FolderNames, int> listFolder(const std::string& host, bool withAliases) {
    UniqueFd fd = openRetrying(host, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!fd) {
        return errno;
    }
#ifdef __linux__
    if (auto vfat = vfatNames(fd.get())) {
        return std::move(*vfat);
    }
#endif
    DIR* dir = ::fdopendir(fd.get());
    if (dir == nullptr) {
        return errno;
    }
    fd.release(); // the stream owns it now
    FolderNames folder;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            folder.names.emplace_back(name);
        }
    }
    ::closedir(dir);
    if (withAliases) {
        folder.aliases = shortAliases(folder.names);
    }
    return folder;
}

std::optional<std::string> matchName(const FolderNames& folder, std::string_view typed) {
    std::optional<std::string> best;
    for (const auto* list : {&folder.names, &folder.aliases}) {
        for (std::size_t i = 0; i < list->size() && i < folder.names.size(); ++i) {
            if (equalsIgnoringCase((*list)[i], typed) && (!best || folder.names[i] < *best)) {
                best = folder.names[i];
            }
        }
        if (best) {
            return best;
        }
    }
    return std::nullopt;
}

std::optional<OtherName> otherNameReached(const FolderNames& folder, std::string_view name) {
    if (std::find(folder.names.begin(), folder.names.end(), name) != folder.names.end()) {
        return std::nullopt;
    }
    const FolderNames byCase{folder.names, {}};
    if (auto sameLetters = matchName(byCase, name)) {
        return OtherName{std::move(*sameLetters), false};
    }
    if (auto aliased = matchName(folder, name)) {
        return OtherName{std::move(*aliased), true};
    }
    return std::nullopt;
}

bool kernelMatchesNames(const std::string& folderHost) {
#ifdef __linux__
    constexpr long kExfatMagic = 0x2011BAB0;
    struct statfs volume {};
    return ::statfs(folderHost.c_str(), &volume) == 0 &&
           (volume.f_type == MSDOS_SUPER_MAGIC || volume.f_type == kExfatMagic);
#else
    (void)folderHost;
    return false;
#endif
}

Error folderError(int err, std::string_view dosPath) {
    Error error = osError(err, dosPath);
    if (err == ENOENT || err == ENOTDIR) {
        error.code = ErrorCode::PathNotFound;
    }
    return error;
}

bool statEntry(const std::string& host, struct stat& info) {
    return ::stat(host.c_str(), &info) == 0 || ::lstat(host.c_str(), &info) == 0;
}

std::uint32_t attributesOf(const struct stat& info, std::string_view name) {
    std::uint32_t bits = 0;
    if (S_ISDIR(info.st_mode)) {
        bits |= attr::Directory;
    } else if (S_ISREG(info.st_mode)) {
        bits |= attr::Archive;
    }
    if ((info.st_mode & S_IWUSR) == 0) {
        bits |= attr::ReadOnly;
    }
    if (name.starts_with('.') && name != "." && name != "..") {
        bits |= attr::Hidden;
    }
    return bits == 0 ? attr::Normal : bits;
}

Result<Located> locate(const DriveTable& drives, std::string_view dosPath, LastName last) {
    auto rooted = rootDosPath(drives, dosPath);
    if (!rooted) {
        return rooted.error();
    }
    const std::string& root = rooted.value().hostRoot;
    Located found{rooted.value().parts.letter, root, {}, root, true};
    const auto& components = rooted.value().parts.components;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (last == LastName::Exact && i + 1 == components.size()) {
            found.exists = false;
            found.host = hostChild(found.host, components[i]);
            found.names.push_back(components[i]);
            break;
        }
        auto name = hostName(found.host, components[i], dosPath);
        if (!name) {
            return name.error();
        }
        if (!name.value()) {
            if (i + 1 != components.size()) {
                return Error{ErrorCode::PathNotFound, osError(ENOENT, dosPath).message};
            }
            found.exists = false; // created as typed
            name.value() = components[i];
        }
        found.host = hostChild(found.host, *name.value());
        found.names.push_back(std::move(*name.value()));
    }
    if (components.empty() && ::access(found.host.c_str(), F_OK) != 0) {
        return Error{ErrorCode::PathNotFound, osError(errno, dosPath).message};
    }
    return found;
}

Result<Located> locateExisting(const DriveTable& drives, std::string_view dosPath,
                               ErrorCode missing) {
    auto found = locate(drives, dosPath);
    if (found && !found.value().exists) {
        return Error{missing, osError(ENOENT, dosPath).message};
    }
    return found;
}

} // namespace dividra::platform::detail
