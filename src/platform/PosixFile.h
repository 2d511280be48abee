#pragma once

#include "platform/FileSystem.h"
#include "platform/HostError.h"
#include "platform/Result.h"
#include "platform/UniqueFd.h"

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// Files over host descriptors.
namespace dividra::platform::detail {

// Takes a non-blocking flock (operation LOCK_SH or LOCK_EX): 0 when taken, EWOULDBLOCK when
// another open file holds a conflicting one. File systems without flock support give 0: the
// lock is advisory anyway.
int tryLock(int fd, int operation);

// open(2) retried on EINTR; no descriptor, with errno set, on failure.
UniqueFd openRetrying(const std::string& host, int flags, mode_t mode = 0);

// The identity of a stat'ed host entry.
FileId idOf(const struct stat& info);

// Wraps a descriptor of a regular file as a File named `dosPath` in its errors, first emptying
// it when `truncate`; refuses anything else (a folder as EISDIR, others as notRegularError),
// closing the descriptor. Clears O_NONBLOCK.
Result<std::unique_ptr<File>> adoptRegular(UniqueFd fd, std::string_view dosPath,
                                           bool truncate = false);

} // namespace dividra::platform::detail
