#pragma once

#include "platform/Result.h"

#include <string_view>

// The host's error numbers in DOS terms: the one mapping every host call's failure goes
// through, with one wording ("<path>: <reason>").
namespace dividra::platform::detail {

// The ErrorCode for a host error number; Io for anything unusual.
ErrorCode codeForErrno(int err);

// "<path>: <host reason>" with the code from the error number. `path` is what the user knows
// the file by: its DOS path, or the host path of the program's own files.
Error osError(int err, std::string_view path);
// SharingViolation: another open file holds a conflicting lock.
Error sharingError(std::string_view path);
// AccessDenied: the file's ReadOnly attribute forbids the change.
Error readOnlyError(std::string_view path);
// AccessDenied: a FIFO, device or socket where a file is read or written.
Error notRegularError(std::string_view path);

} // namespace dividra::platform::detail
