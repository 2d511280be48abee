#include "platform/StandardStreams.h"

#include "platform/PosixFile.h"

#include <cerrno>
#include <fcntl.h>

namespace dividra::platform {

void ReopenClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // open gives the lowest free descriptor, which is this one: keep it open.
        detail::UniqueFd opened = detail::openRetrying("/dev/null", O_RDWR);
        if (opened.get() == fd) {
            opened.release();
        }
    }
}

} // namespace dividra::platform
