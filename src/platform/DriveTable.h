#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which DOS drive letter stands for which host folder.
namespace dividra::platform {

struct DriveEntry {
    char letter = 'c'; // lower case
    DriveType type = DriveType::Fixed;
    std::string hostRoot; // absolute, lexically normal; for a detected removable drive the
                          // mount point seen at detection (empty when nothing was mounted)
    std::string label;    // volume label, or the remote name of a network drive; may be empty
    std::string device;   // block device ("/dev/fd0") of a detected drive; empty when configured
};

// Where detection looks; tests point these at sample files.
struct HostPaths {
    std::string mountInfo = "/proc/self/mountinfo";
    std::string sysfs = "/sys";
    std::string byLabel = "/dev/disk/by-label";
};

class DriveTable {
public:
    DriveTable() = default;

    // The DIVIDRA_DRIVES syntax: entries "LETTER=HOSTPATH,KIND[,LABEL]" separated by ";", KIND
    // one of removable, fixed, remote, cdrom, ramdisk. Letters and kinds in either case; host
    // paths absolute; blank entries are skipped. A malformed entry gives InvalidArgument with a
    // message quoting it.
    static Result<DriveTable> parse(std::string_view text);
    // The drives of this machine: c: is "/", diskette drives a: and b:, file systems mounted
    // under /media, /run/media and /mnt d: onward in mount order.
    static DriveTable detect();
    // detect() on given mount table text (the /proc/self/mountinfo format) and host folders.
    static DriveTable detect(std::string_view mountInfoText, const HostPaths& paths);
    // DIVIDRA_DRIVES when set and not empty, else detect().
    static Result<DriveTable> fromEnvironment();

    // In letter order.
    const std::vector<DriveEntry>& entries() const { return m_entries; }
    // Letter in either case; nullptr when the table lacks it.
    const DriveEntry* find(char letter) const;
    // The host folder the drive stands for now. A removable drive is looked up at each call (a
    // diskette swap may remount it); nothing when it has no medium: its device isn't mounted,
    // or its configured folder is not a mount point of its own. Nothing for a letter the table
    // lacks.
    std::optional<std::string> currentRoot(char letter) const;

private:
    std::vector<DriveEntry> m_entries;
    std::string m_mountInfoPath = HostPaths().mountInfo;
};

// An absolute host path with "//", "." and ".." folded away and no trailing "/" (except "/").
// ".." at the root stays at the root.
std::string lexicallyNormalHostPath(std::string_view absolutePath);

// The KIND word of DIVIDRA_DRIVES for a drive type ("removable"); "unknown" for any other.
std::string_view driveKindName(DriveType type);

// The lower-case letter, or 0 when c isn't a letter a-z in either case.
char driveLetter(char c);

} // namespace dividra::platform
