#pragma once

#include "platform/DriveTable.h"

#include <string>
#include <string_view>
#include <vector>

// What the host's mount table, sysfs and udev label links tell of its drives.
namespace dividra::platform::detail {

struct MountEntry {
    std::string deviceNumber; // "major:minor"
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

// Text helpers shared with DriveTable.cpp, which defines them.

// `text` without leading and trailing blanks, tabs and line ends.
std::string_view trimmed(std::string_view text);

// The pieces between separators; n separators give n + 1 pieces, empty ones included.
std::vector<std::string_view> split(std::string_view text, char separator);

// The whole file; empty when it can't be read.
std::string readText(const std::string& path);

// The mounts of a /proc/self/mountinfo text in its order, fields unescaped; malformed lines are
// skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// True when `mount` is of block device `device` ("/dev/fd0"), by name or by device number.
bool sameDevice(const MountEntry& mount, const std::string& device);

// The drives detection finds, in letter order (see DriveTable::detect).
std::vector<DriveEntry> detectDrives(std::string_view mountInfoText, const HostPaths& paths);

} // namespace dividra::platform::detail
