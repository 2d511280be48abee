#include "platform/PosixFile.h"

#include "platform/HostSync.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace dividra::platform::detail {
namespace {

class PosixFile final : public File {
public:
    PosixFile(UniqueFd fd, std::string dosPath, FileId id)
        : m_fd(std::move(fd)), m_path(std::move(dosPath)), m_id(id) {}

    Result<std::size_t> read(std::span<std::byte> buffer) override {
        std::size_t done = 0;
        while (m_fd && done < buffer.size()) {
            const ssize_t got = ::read(m_fd.get(), buffer.data() + done, buffer.size() - done);
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
        return m_fd ? Result<std::size_t>(done) : osError(EBADF, m_path);
    }

    // Short only when the medium fills up (or fails) after some bytes went through.
    Result<std::size_t> write(std::span<const std::byte> data) override {
        std::size_t done = 0;
        while (m_fd && done < data.size()) {
            const ssize_t put = ::write(m_fd.get(), data.data() + done, data.size() - done);
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put < 0) {
                return done > 0 ? Result<std::size_t>(done) : osError(errno, m_path);
            }
            done += static_cast<std::size_t>(put);
        }
        return m_fd ? Result<std::size_t>(done) : osError(EBADF, m_path);
    }

    Status flush() override { return m_fd ? syncData(m_fd.get(), m_path) : osError(EBADF, m_path); }

    Status close() override {
        const int err = m_fd.close();
        return err == 0 ? Status() : Status(osError(err, m_path));
    }

    Result<std::int64_t> size() override {
        struct stat info {};
        if (!m_fd || ::fstat(m_fd.get(), &info) != 0) {
            return osError(m_fd ? errno : EBADF, m_path);
        }
        return static_cast<std::int64_t>(info.st_size);
    }

    FileId id() const override { return m_id; }

    Status seek(std::int64_t offset) override {
        if (!m_fd || ::lseek(m_fd.get(), static_cast<off_t>(offset), SEEK_SET) < 0) {
            return osError(m_fd ? errno : EBADF, m_path);
        }
        return {};
    }

private:
    UniqueFd m_fd;
    std::string m_path;
    FileId m_id;
};

} // namespace

int tryLock(int fd, int operation) {
    int rc = 0;
    do {
        rc = ::flock(fd, operation | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || errno != EWOULDBLOCK ? 0 : EWOULDBLOCK;
}

UniqueFd openRetrying(const std::string& host, int flags, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(host.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return UniqueFd(fd);
}

FileId idOf(const struct stat& info) {
    return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

Result<std::unique_ptr<File>> adoptRegular(UniqueFd fd, std::string_view dosPath, bool truncate) {
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return osError(errno, dosPath);
    }
    if (!S_ISREG(info.st_mode)) {
        return S_ISDIR(info.st_mode) ? osError(EISDIR, dosPath) : notRegularError(dosPath);
    }
    if (truncate && ::ftruncate(fd.get(), 0) != 0) {
        return osError(errno, dosPath);
    }
    // Opened non-blocking only so that a FIFO couldn't hang the open.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return std::unique_ptr<File>(
        std::make_unique<PosixFile>(std::move(fd), std::string(dosPath), idOf(info)));
}

} // namespace dividra::platform::detail
