#include "platform/RegistryFile.h"

#include "platform/HostSync.h"
#include "platform/PosixFile.h"
#include "platform/RegistryFormat.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dividra::platform {

using namespace detail;

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p; failures show up when the file itself is opened.
void createFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return;
    }
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos) {
            return;
        }
    }
}

// The locked lock file, or none when none can be opened.
Result<UniqueFd> takeLock(const std::string& lockPath) {
    while (true) {
        UniqueFd fd = openRetrying(lockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (!fd) {
            fd = openRetrying(lockPath, O_RDONLY | O_CLOEXEC);
        }
        if (!fd) {
            return UniqueFd();
        }
        int locked = 0;
        while ((locked = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            return osError(errno, lockPath);
        }
        // Someone may have replaced the lock file while we waited: hold the one in place.
        struct stat held {
        }, current{};
        if (::fstat(fd.get(), &held) == 0 && ::stat(lockPath.c_str(), &current) == 0 &&
            held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
            return fd;
        }
    }
}

Status readWhole(int fd, const std::string& path, std::string& bytes) {
    char buffer[16384];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return {};
        }
        if (got < 0 && errno != EINTR) {
            return osError(errno, path);
        }
        if (got > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }
}

Status writeWhole(int fd, const std::string& path, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno != EINTR) {
            return osError(errno, path);
        }
        if (done > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(done));
        }
    }
    return {};
}

// Temporary file beside the target, flushed, renamed over it, folder flushed.
Status replaceFile(const std::string& target, std::string_view bytes, mode_t mode) {
    const std::string temp = target + ".tmp";
    // A stale one from a killed writer, or a link that must not be written through.
    ::unlink(temp.c_str());
    UniqueFd fd = openRetrying(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (!fd) {
        return osError(errno, temp);
    }
    Status status = writeWhole(fd.get(), temp, bytes);
    if (status && ::fchmod(fd.get(), mode) != 0) {
        status = osError(errno, temp);
    }
    if (status) {
        status = syncData(fd.get(), temp);
    }
    if (const int err = fd.close(); err != 0 && status) {
        status = osError(err, temp);
    }
    if (status && ::rename(temp.c_str(), target.c_str()) != 0) {
        status = osError(errno, target);
    }
    if (!status) {
        ::unlink(temp.c_str());
        return status;
    }
    // Some file systems can't sync a folder; the rename stands all the same.
    const std::string folder = folderOf(target);
    return syncFolder(folder, folder);
}

} // namespace

Result<RegistryFile> RegistryFile::open(const std::string& path) {
    createFolders(folderOf(path));
    RegistryFile file(path);
    auto lock = takeLock(path + ".lock");
    if (!lock) {
        return lock.error();
    }
    file.m_lock = std::move(lock).value();
    const UniqueFd fd = openRetrying(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (!fd) {
        if (errno != ENOENT) {
            return osError(errno, path);
        }
        return file;
    }
    struct stat info {};
    Status status;
    if (::fstat(fd.get(), &info) != 0) {
        status = osError(errno, path);
    } else if (!S_ISREG(info.st_mode)) {
        status = notRegularError(path);
    } else {
        file.m_original.reserve(static_cast<std::size_t>(info.st_size));
        status = readWhole(fd.get(), path, file.m_original);
    }
    if (!status) {
        return status.error();
    }
    file.m_existed = true;
    file.m_mode = info.st_mode & 07777;
    ParsedRegistry parsed = parseRegistry(file.m_original);
    file.m_tree = std::move(parsed.tree);
    file.m_badLines = parsed.badLines;
    return file;
}

Status RegistryFile::checkWritable() const {
    if (!m_lock) {
        return Error{ErrorCode::AccessDenied, m_path + ".lock: can't be opened"};
    }
    if (m_existed && ::faccessat(AT_FDCWD, m_path.c_str(), W_OK, AT_EACCESS) != 0) {
        return osError(errno, m_path);
    }
    return {};
}

Status RegistryFile::save() const {
    if (Status writable = checkWritable(); !writable) {
        return writable;
    }
    if (m_existed && m_badLines > 0) {
        if (Status saved = replaceFile(m_path + ".bad", m_original, 0600); !saved) {
            return saved;
        }
    }
    return replaceFile(m_path, formatRegistry(m_tree), m_mode);
}

} // namespace dividra::platform
