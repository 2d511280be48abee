#include "cli/DrivesCommand.h"

#include "cli/Cli.h"
#include "cli/CommandOptions.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <utility>

namespace dividra::cli {
namespace {

constexpr std::size_t kColumns = 6;
constexpr std::size_t kFreeColumn = 4; // numbers align to the right
using Row = std::array<std::string, kColumns>;

// A removable drive holds a medium only while something is mounted on its folder; any other
// drive while its folder is there.
Row rowOf(const platform::DriveTable& table, const platform::FileSystem& fs,
          const platform::DriveEntry& drive) {
    const auto root = table.currentRoot(drive.letter);
    const bool removable = drive.type == platform::DriveType::Removable;
    std::error_code ignored;
    const bool present =
        removable ? root.has_value() : root && std::filesystem::is_directory(*root, ignored);
    std::string folder = root ? *root : drive.hostRoot;
    if (folder.empty()) {
        folder = drive.device.empty() ? "-" : drive.device;
    }
    const std::int64_t free = fs.freeBytes(drive.letter - 'a' + 1);
    return {std::string(1, drive.letter) + ":",
            std::string(platform::driveKindName(drive.type)),
            folder,
            drive.label.empty() ? "-" : drive.label,
            free < 0 ? "-" : std::to_string(free),
            removable ? (present ? "mounted" : "not mounted") : (present ? "present" : "missing")};
}

std::string aligned(const std::vector<Row>& rows) {
    std::array<std::size_t, kColumns> widths{};
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < kColumns; ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    std::string text;
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < kColumns; ++i) {
            const std::string padding(widths[i] - row[i].size(), ' ');
            text += i == kFreeColumn ? padding + row[i] : row[i];
            text += i + 1 == kColumns ? "\n" : (i == kFreeColumn ? "  " : padding + "  ");
        }
    }
    return text;
}

} // namespace

std::string DriveListing(const platform::DriveTable& table, const platform::FileSystem& fs) {
    std::vector<Row> rows{{"DRIVE", "KIND", "FOLDER", "LABEL", "FREE", "MEDIUM"}};
    for (const platform::DriveEntry& drive : table.entries()) {
        rows.push_back(rowOf(table, fs, drive));
    }
    return aligned(rows);
}

int RunDrives(const CliContext& context, const std::vector<std::string>& arguments,
              std::ostream& out, std::ostream& err) {
    const auto parsed = ParseCommandArguments("drives", arguments, {});
    if (!parsed) {
        err << "dividra-cli: " << parsed.error().message << "\n";
        return kExitBadInput;
    }
    if (!parsed.value().operands.empty()) {
        err << "dividra-cli: drives: unexpected argument \"" << parsed.value().operands.front()
            << "\"\n";
        return kExitBadInput;
    }
    if (const Status ready = context.ready(); !ready) {
        err << "dividra-cli: " << ready.error().message << "\n";
        return ExitStatusOf(ready.error());
    }
    out << DriveListing(context.drives, context.fs)
        << (context.drivesConfigured
                ? "Drives from DIVIDRA_DRIVES.\n"
                : "Detected: c: is /, a: and b: are diskette drives, and file systems "
                  "mounted under\n/media, /run/media and /mnt get d: onward in mount "
                  "order.\n");
    return kExitOk;
}

std::string DrivesUsage() {
    return "Usage: dividra-cli drives\n"
           "List the drive table, one line per drive: its letter, its kind (removable,\n"
           "fixed, remote, cdrom, ramdisk), the host folder it stands for, its label, its\n"
           "free space in bytes (- when it can't be told) and its medium: a removable\n"
           "drive is \"mounted\" only while a file system is mounted on its folder (a bare\n"
           "folder is an empty drive); another drive is \"present\" while its folder is.\n"
           "split --floppy takes a removable, remote or ramdisk drive.\n"
           "\n"
           "DIVIDRA_DRIVES=\"c=/,fixed;a=/mnt/fd,removable\" replaces the detected table.\n"
           "Detected, c: is /, a: and b: are the diskette drives, and file systems mounted\n"
           "under /media, /run/media and /mnt get d: onward in the order they were mounted.\n"
           "\n"
           "  --help  show this text\n";
}

} // namespace dividra::cli
