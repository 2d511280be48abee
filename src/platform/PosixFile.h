#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// Files over host descriptors, and the host's error numbers in DOS terms.
namespace dividra::platform::detail {

// The ErrorCode for a host error number; Io for anything unusual.
ErrorCode codeForErrno(int err);

// "<dos path>: <host reason>" with the code from the error number.
Error osError(int err, std::string_view dosPath);
// SharingViolation: another open file holds a conflicting lock.
Error sharingError(std::string_view dosPath);
// AccessDenied: the file's ReadOnly attribute forbids the change.
Error readOnlyError(std::string_view dosPath);
// AccessDenied: a FIFO, device or socket where a file is read or written.
Error notRegularError(std::string_view dosPath);

// Takes a non-blocking flock (operation LOCK_SH or LOCK_EX): 0 when taken, EWOULDBLOCK when
// another open file holds a conflicting one. File systems without flock support give 0: the
// lock is advisory anyway.
int tryLock(int fd, int operation);

// open(2) retried on EINTR; -1 with errno set on failure.
int openRetrying(const std::string& host, int flags, mode_t mode = 0);

// The identity of a stat'ed host entry.
FileId idOf(const struct stat& info);

// Wraps a descriptor of a regular file as a File named `dosPath` in its errors; refuses anything
// else (a folder as EISDIR, others as notRegularError). Takes ownership of fd: closes it on
// failure. Clears O_NONBLOCK.
Result<std::unique_ptr<File>> adoptRegular(int fd, std::string_view dosPath);

} // namespace dividra::platform::detail
