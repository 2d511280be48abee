#include "platform/StandardStreams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace dividra::platform {

void ReopenClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // open gives the lowest free descriptor, which is this one.
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened != fd && opened >= 0) {
            ::close(opened);
        }
    }
}

} // namespace dividra::platform
