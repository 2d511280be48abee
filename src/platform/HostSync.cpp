#include "platform/HostSync.h"

#include "platform/Hook.h"
#include "platform/HostError.h"
#include "platform/PosixFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace dividra::platform::detail {
namespace {

Hook<void(SyncKind, const std::string&)> observer;

Status synced(int fd, int (*sync)(int), std::string_view path) {
    int rc = 0;
    do {
        rc = sync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || errno == EINVAL ? Status() : Status(osError(errno, path));
}

} // namespace

SyncObserver SetSyncObserver(SyncObserver next) {
    return observer.set(std::move(next));
}

Status syncData(int fd, std::string_view path) {
    observer(SyncKind::Data, std::string(path));
    return synced(fd, ::fdatasync, path);
}

Status syncFolder(const std::string& hostFolder, std::string_view path) {
    const UniqueFd fd = openRetrying(hostFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!fd) {
        return osError(errno, path);
    }
    observer(SyncKind::Folder, std::string(path));
    return synced(fd.get(), ::fsync, path);
}

} // namespace dividra::platform::detail
