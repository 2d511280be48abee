#include "platform/HostError.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace dividra::platform::detail {

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

Error osError(int err, std::string_view path) {
    return Error{codeForErrno(err),
                 std::string(path) + ": " + std::generic_category().message(err)};
}

Error sharingError(std::string_view path) {
    return Error{ErrorCode::SharingViolation,
                 std::string(path) + ": the file is in use by another program"};
}

Error readOnlyError(std::string_view path) {
    return Error{ErrorCode::AccessDenied, std::string(path) + ": the file is read-only"};
}

Error notRegularError(std::string_view path) {
    return Error{ErrorCode::AccessDenied, std::string(path) + ": is not a regular file"};
}

} // namespace dividra::platform::detail
