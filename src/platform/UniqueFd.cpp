#include "platform/UniqueFd.h"

#include <cerrno>
#include <unistd.h>

namespace dividra::platform::detail {

void UniqueFd::reset(int fd) noexcept {
    if (m_fd >= 0 && m_fd != fd) {
        ::close(m_fd);
    }
    m_fd = fd;
}

int UniqueFd::close() noexcept {
    const int fd = release();
    if (fd < 0 || ::close(fd) == 0 || errno == EINTR) {
        return 0;
    }
    return errno;
}

} // namespace dividra::platform::detail
