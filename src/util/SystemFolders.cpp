#include "util/SystemFolders.h"

#include "platform/DosPath.h"
#include "platform/DriveTable.h"

#include <string_view>

namespace dividra {
namespace {

std::string fallbackRoot(const platform::DriveTable& drives) {
    for (const platform::DriveEntry& entry : drives.entries()) {
        if (entry.type == platform::DriveType::Fixed) {
            return std::string(1, entry.letter) + ":\\";
        }
    }
    return "c:\\";
}

std::string dosFolderOf(std::string_view hostFolder) {
    const auto drives = platform::DriveTable::fromEnvironment();
    if (!drives) {
        return "c:\\";
    }
    const auto dos = platform::hostToDos(drives.value(), hostFolder);
    if (!dos) {
        return fallbackRoot(drives.value());
    }
    std::string folder = dos.value();
    if (!folder.ends_with('\\')) {
        folder += '\\';
    }
    return folder;
}

} // namespace

std::string GetSystemFolder() {
    return dosFolderOf("/usr/lib/");
}

std::string GetWindowsFolder() {
    return dosFolderOf("/usr/share/");
}

} // namespace dividra
