#include "platform/PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace dividra::platform::detail {
namespace {

class PosixFile final : public File {
public:
    PosixFile(int fd, std::string dosPath, FileId id)
        : m_fd(fd), m_path(std::move(dosPath)), m_id(id) {}
    ~PosixFile() override { (void)close(); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    Result<std::size_t> read(std::span<std::byte> buffer) override {
        std::size_t done = 0;
        while (m_fd >= 0 && done < buffer.size()) {
            const ssize_t got = ::read(m_fd, buffer.data() + done, buffer.size() - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return done > 0 ? Result<std::size_t>(done) : osError(errno, m_path);
            }
            if (got == 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        return m_fd >= 0 ? Result<std::size_t>(done) : osError(EBADF, m_path);
    }

    // Short only when the medium fills up (or fails) after some bytes went through.
    Result<std::size_t> write(std::span<const std::byte> data) override {
        std::size_t done = 0;
        while (m_fd >= 0 && done < data.size()) {
            const ssize_t put = ::write(m_fd, data.data() + done, data.size() - done);
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put < 0) {
                return done > 0 ? Result<std::size_t>(done) : osError(errno, m_path);
            }
            done += static_cast<std::size_t>(put);
        }
        return m_fd >= 0 ? Result<std::size_t>(done) : osError(EBADF, m_path);
    }

    Status flush() override {
        if (m_fd < 0) {
            return osError(EBADF, m_path);
        }
        int rc = 0;
        do {
            rc = ::fdatasync(m_fd);
        } while (rc != 0 && errno == EINTR);
        // Special files that can't be synchronised have nothing to lose.
        return rc == 0 || errno == EINVAL ? Status() : Status(osError(errno, m_path));
    }

    Status close() override {
        if (m_fd < 0) {
            return {};
        }
        const int fd = std::exchange(m_fd, -1);
        // Linux releases the descriptor even when close reports EINTR: never retry.
        if (::close(fd) != 0 && errno != EINTR) {
            return osError(errno, m_path);
        }
        return {};
    }

    Result<std::int64_t> size() override {
        struct stat info {};
        if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
            return osError(m_fd < 0 ? EBADF : errno, m_path);
        }
        return static_cast<std::int64_t>(info.st_size);
    }

    FileId id() const override { return m_id; }

private:
    int m_fd;
    std::string m_path;
    FileId m_id;
};

} // namespace

ErrorCode codeForErrno(int err) {
    switch (err) {
    case ENOENT:
        return ErrorCode::NotFound;
    case ENOTDIR:
        return ErrorCode::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENOTEMPTY:
    case EEXIST:
        return ErrorCode::AccessDenied;
    case EWOULDBLOCK:
        return ErrorCode::SharingViolation;
    case ENOSPC:
    case EDQUOT:
        return ErrorCode::DiskFull;
    case ENXIO:
    case ENODEV:
#ifdef __linux__
    case ENOMEDIUM:
#endif
        return ErrorCode::NotReady;
    case ENAMETOOLONG:
        return ErrorCode::InvalidName;
    default:
        return ErrorCode::Io;
    }
}

Error osError(int err, std::string_view dosPath) {
    return Error{codeForErrno(err),
                 std::string(dosPath) + ": " + std::generic_category().message(err)};
}

Error sharingError(std::string_view dosPath) {
    return Error{ErrorCode::SharingViolation,
                 std::string(dosPath) + ": the file is in use by another program"};
}

Error readOnlyError(std::string_view dosPath) {
    return Error{ErrorCode::AccessDenied, std::string(dosPath) + ": the file is read-only"};
}

Error notRegularError(std::string_view dosPath) {
    return Error{ErrorCode::AccessDenied, std::string(dosPath) + ": is not a regular file"};
}

int tryLock(int fd, int operation) {
    int rc = 0;
    do {
        rc = ::flock(fd, operation | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || errno != EWOULDBLOCK ? 0 : EWOULDBLOCK;
}

int openRetrying(const std::string& host, int flags, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(host.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

FileId idOf(const struct stat& info) {
    return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

Result<std::unique_ptr<File>> adoptRegular(int fd, std::string_view dosPath) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int err = errno;
        ::close(fd);
        return osError(err, dosPath);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return S_ISDIR(info.st_mode) ? osError(EISDIR, dosPath) : notRegularError(dosPath);
    }
    // Opened non-blocking only so that a FIFO couldn't hang the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::unique_ptr<File>(std::make_unique<PosixFile>(fd, std::string(dosPath), idOf(info)));
}

} // namespace dividra::platform::detail
