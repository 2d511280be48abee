#include "util/SystemFolders.h"

#include <string_view>

namespace dividra {
namespace {

std::string fallbackRoot(const platform::FileSystem& fs) {
    for (const platform::DriveInfo& drive : fs.drives()) {
        if (drive.type == platform::DriveType::Fixed) {
            return std::string(1, drive.letter) + ":\\";
        }
    }
    return "c:\\";
}

std::string dosFolderOf(const platform::FileSystem& fs, std::string_view hostFolder) {
    const auto dos = fs.toDosPath(hostFolder);
    if (!dos) {
        return fallbackRoot(fs);
    }
    std::string folder = dos.value();
    if (!folder.ends_with('\\')) {
        folder += '\\';
    }
    return folder;
}

} // namespace

std::string GetSystemFolder(const platform::FileSystem& fs) {
    return dosFolderOf(fs, "/usr/lib/");
}

std::string GetWindowsFolder(const platform::FileSystem& fs) {
    return dosFolderOf(fs, "/usr/share/");
}

} // namespace dividra
