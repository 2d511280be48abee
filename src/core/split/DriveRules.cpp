#include "core/split/DriveRules.h"

namespace dividra::core {

bool TakesDiskettes(platform::DriveType type) {
    return type != platform::DriveType::Fixed && type != platform::DriveType::CdRom;
}

std::optional<std::string> NotADisketteDriveText(char letter, platform::DriveType type) {
    const std::string name = std::string(1, letter) + ": is ";
    if (type == platform::DriveType::Fixed) {
        return name + "a fixed drive, not a diskette drive";
    }
    if (type == platform::DriveType::CdRom) {
        return name + "a CD-ROM drive, not a diskette drive";
    }
    return std::nullopt;
}

bool OnRemovableDrive(const platform::FileSystem& fs, std::string_view dosPath) {
    return dosPath.size() >= 2 &&
           fs.driveType(std::string(dosPath.substr(0, 2)) + "\\") == platform::DriveType::Removable;
}

} // namespace dividra::core
