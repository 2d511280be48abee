#include "cli/CommandLineFiles.h"

#include "cli/HostPaths.h"
#include "platform/DosPath.h"

#include <filesystem>

namespace dividra::cli {

Result<std::string> ExistingDosPath(const platform::FileSystem& fs, const std::string& hostPath,
                                    EntryKind kind) {
    std::error_code ignored;
    const std::string absolute =
        std::filesystem::absolute(hostPath, ignored).lexically_normal().string();
    auto dosPath = fs.toDosPath(absolute);
    if (!dosPath) {
        return dosPath.error();
    }
    const std::string shown = WithHostPath(dosPath.value(), absolute);
    const bool wantFolder = kind == EntryKind::Folder;
    const auto attributes = fs.attributes(dosPath.value());
    if (!attributes) {
        return Error{attributes.error().code,
                     shown + (wantFolder ? ": no such folder" : ": no such file")};
    }
    const bool isFolder = (attributes.value() & platform::attr::Directory) != 0;
    if (isFolder != wantFolder) {
        return Error{ErrorCode::AccessDenied, shown + (wantFolder ? ": is a file, not a folder"
                                                                  : ": is a folder, not a file")};
    }
    return dosPath;
}

Result<std::int64_t> FileSize(platform::FileSystem& fs, std::string_view dosPath) {
    auto file = fs.openReadShared(dosPath);
    if (!file) {
        return file.error();
    }
    return file.value()->size();
}

} // namespace dividra::cli
