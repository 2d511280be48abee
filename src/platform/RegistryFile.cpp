#include "platform/RegistryFile.h"

#include "platform/RegistryFormat.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dividra::platform {
namespace {

Error systemError(const std::string& path, int error) {
    ErrorCode code = ErrorCode::Io;
    switch (error) {
    case ENOENT:
        code = ErrorCode::NotFound;
        break;
    case ENOTDIR:
        code = ErrorCode::PathNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        code = ErrorCode::AccessDenied;
        break;
    case ENOSPC:
    case EDQUOT:
        code = ErrorCode::DiskFull;
        break;
    default:
        break;
    }
    return Error{code, path + ": " + std::strerror(error)};
}

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

// The locked lock file, or -1 when none can be opened.
Result<int> takeLock(const std::string& lockPath) {
    while (true) {
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd < 0) {
            return -1;
        }
        int locked = 0;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            const Error error = systemError(lockPath, errno);
            ::close(fd);
            return error;
        }
        // Someone may have replaced the lock file while we waited: hold the one in place.
        struct stat held {
        }, current{};
        if (::fstat(fd, &held) == 0 && ::stat(lockPath.c_str(), &current) == 0 &&
            held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
            return fd;
        }
        ::close(fd);
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
            return systemError(path, errno);
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
            return systemError(path, errno);
        }
        if (done > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(done));
        }
    }
    return {};
}

Status syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return systemError(folder, errno);
    }
    // Some file systems can't sync a folder (EINVAL); the rename stands all the same.
    const bool failed = ::fsync(fd) != 0 && errno != EINVAL;
    const int error = errno;
    ::close(fd);
    return failed ? Status(systemError(folder, error)) : Status();
}

// Temporary file beside the target, flushed, renamed over it, folder flushed.
Status replaceFile(const std::string& target, std::string_view bytes, mode_t mode) {
    const std::string temp = target + ".tmp";
    // A stale one from a killed writer, or a link that must not be written through.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        return systemError(temp, errno);
    }
    Status status = writeWhole(fd, temp, bytes);
    if (status && (::fchmod(fd, mode) != 0 || ::fdatasync(fd) != 0)) {
        status = systemError(temp, errno);
    }
    if (::close(fd) != 0 && status) {
        status = systemError(temp, errno);
    }
    if (status && ::rename(temp.c_str(), target.c_str()) != 0) {
        status = systemError(target, errno);
    }
    if (!status) {
        ::unlink(temp.c_str());
        return status;
    }
    return syncFolder(folderOf(target));
}

} // namespace

Result<RegistryFile> RegistryFile::open(const std::string& path) {
    createFolders(folderOf(path));
    RegistryFile file(path);
    auto lock = takeLock(path + ".lock");
    if (!lock) {
        return lock.error();
    }
    file.m_lockFd = lock.value();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            return systemError(path, errno);
        }
        return file;
    }
    struct stat info {};
    Status status;
    if (::fstat(fd, &info) != 0) {
        status = systemError(path, errno);
    } else if (!S_ISREG(info.st_mode)) {
        status = Error{ErrorCode::AccessDenied, path + ": not a regular file"};
    } else {
        file.m_original.reserve(static_cast<std::size_t>(info.st_size));
        status = readWhole(fd, path, file.m_original);
    }
    ::close(fd);
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

RegistryFile::RegistryFile(RegistryFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_lockFd(other.m_lockFd), m_existed(other.m_existed),
      m_mode(other.m_mode), m_original(std::move(other.m_original)), m_badLines(other.m_badLines),
      m_tree(std::move(other.m_tree)) {
    other.m_lockFd = -1;
}

RegistryFile::~RegistryFile() {
    if (m_lockFd >= 0) {
        ::close(m_lockFd); // closing the last descriptor releases the flock
    }
}

Status RegistryFile::checkWritable() const {
    if (m_lockFd < 0) {
        return Error{ErrorCode::AccessDenied, m_path + ".lock: can't be opened"};
    }
    if (m_existed && ::faccessat(AT_FDCWD, m_path.c_str(), W_OK, AT_EACCESS) != 0) {
        return systemError(m_path, errno);
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
