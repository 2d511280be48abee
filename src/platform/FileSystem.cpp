#include "platform/FileSystem.h"

namespace dividra::platform {

Result<std::string> FileSystem::toDosPath(std::string_view hostPath) const {
    return Error{ErrorCode::InvalidArgument,
                 std::string(hostPath) + ": this file system has no host paths"};
}

Result<std::string> FileSystem::toHostPath(std::string_view dosPath) const {
    return Error{ErrorCode::InvalidArgument,
                 std::string(dosPath) + ": this file system has no host paths"};
}

Result<std::unique_ptr<File>> FileSystem::openUnlinked(std::string_view path, bool shared) {
    return shared ? openReadShared(path) : openRead(path);
}

bool FileSystem::isSymbolicLink(std::string_view /*path*/) const {
    return false;
}

} // namespace dividra::platform
