#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string>
#include <string_view>

// Which drives take a diskette split or join, and where a source may lie: the program's rules,
// one place for the window and the terminal.
namespace dividra::core {

// Fixed and CD-ROM drives take no diskettes; removable, network and RAM drives do.
bool TakesDiskettes(platform::DriveType type);

// "c: is a fixed drive, not a diskette drive" for a drive that takes none; nothing else.
std::optional<std::string> NotADisketteDriveText(char letter, platform::DriveType type);

// Whether a DOS path lies on a removable drive: no source is split from one.
bool OnRemovableDrive(const platform::FileSystem& fs, std::string_view dosPath);

} // namespace dividra::core
