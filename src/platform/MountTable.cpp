#include "platform/MountTable.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

namespace dividra::platform::detail {
namespace {

namespace fs = std::filesystem;

// 2.88 MB in 512-byte sectors: the largest diskette.
constexpr std::uint64_t kMaxDisketteSectors = 5760;

struct BlockDevice {
    std::string name; // kernel name: "sdb", "sdb1", "fd0"
    bool removable = false;
    bool partition = false;
    std::uint64_t sectors = 0;
};

using DeviceMap = std::map<std::string, BlockDevice>; // by "major:minor"

std::string readSmallFile(const std::string& path) {
    return std::string(trimmed(readText(path)));
}

void addBlockDevice(DeviceMap& devices, const fs::path& folder, const BlockDevice& device) {
    const std::string number = readSmallFile((folder / "dev").string());
    if (!number.empty()) {
        devices[number] = device;
    }
}

DeviceMap scanBlockDevices(const std::string& sysfs) {
    DeviceMap devices;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(sysfs) / "block", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path disk = it->path();
        BlockDevice device{disk.filename().string(), false, false, 0};
        device.removable = readSmallFile((disk / "removable").string()) == "1";
        device.sectors =
            std::strtoull(readSmallFile((disk / "size").string()).c_str(), nullptr, 10);
        addBlockDevice(devices, disk, device);
        std::error_code partEc;
        for (fs::directory_iterator part(disk, partEc), partEnd; !partEc && part != partEnd;
             part.increment(partEc)) {
            const std::string name = part->path().filename().string();
            if (name.size() > device.name.size() && name.starts_with(device.name)) {
                addBlockDevice(devices, part->path(), {name, device.removable, true, 0});
            }
        }
    }
    return devices;
}

// udev escapes unsafe bytes of label link names as "\xNN".
std::string unescapeHex(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const int high = i + 3 < name.size() ? hexDigitValue(name[i + 2]) : -1;
        const int low = i + 3 < name.size() ? hexDigitValue(name[i + 3]) : -1;
        if (name.substr(i, 2) == "\\x" && high >= 0 && low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

// Kernel device name -> volume label, from the label links udev keeps.
std::map<std::string, std::string> volumeLabels(const std::string& byLabel) {
    std::map<std::string, std::string> labels;
    std::error_code ec;
    for (fs::directory_iterator it(byLabel, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        const fs::path target = fs::read_symlink(it->path(), linkEc);
        if (!linkEc) {
            labels[target.filename().string()] = unescapeHex(it->path().filename().string());
        }
    }
    return labels;
}

std::string lastName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

// Mounts under the media folders, a later mount on the same point replacing the earlier.
std::vector<MountEntry> mediaMounts(const std::vector<MountEntry>& mounts) {
    std::vector<MountEntry> found;
    for (const MountEntry& mount : mounts) {
        if (!isUnder(mount.mountPoint, "/media") && !isUnder(mount.mountPoint, "/run/media") &&
            !isUnder(mount.mountPoint, "/mnt")) {
            continue;
        }
        const auto same = std::find_if(found.begin(), found.end(), [&](const MountEntry& m) {
            return m.mountPoint == mount.mountPoint;
        });
        if (same != found.end()) {
            *same = mount;
        } else {
            found.push_back(mount);
        }
    }
    return found;
}

DriveType kindOfMount(const MountEntry& mount, const BlockDevice* device) {
    static const std::set<std::string, std::less<>> cdrom{"iso9660", "udf"};
    static const std::set<std::string, std::less<>> remote{"nfs",   "nfs4",       "cifs",  "smb3",
                                                           "smbfs", "fuse.sshfs", "sshfs", "9p"};
    static const std::set<std::string, std::less<>> ram{"tmpfs", "ramfs"};
    if (cdrom.contains(mount.fsType)) {
        return DriveType::CdRom;
    }
    if (remote.contains(mount.fsType)) {
        return DriveType::Remote;
    }
    if (ram.contains(mount.fsType)) {
        return DriveType::RamDisk;
    }
    return device && device->removable ? DriveType::Removable : DriveType::Fixed;
}

// What detection learnt of the machine.
struct Detection {
    std::vector<MountEntry> mounts;
    DeviceMap devices;
    std::map<std::string, std::string> labels; // by kernel name

    // Up to two diskette drives, by kernel name.
    std::vector<std::pair<std::string, const BlockDevice*>> diskettes() const {
        std::vector<std::pair<std::string, const BlockDevice*>> found;
        for (const auto& [number, device] : devices) {
            const bool small = device.sectors > 0 && device.sectors <= kMaxDisketteSectors;
            if (!device.partition &&
                (device.name.starts_with("fd") || (device.removable && small))) {
                found.emplace_back(number, &device);
            }
        }
        std::sort(found.begin(), found.end(),
                  [](const auto& a, const auto& b) { return a.second->name < b.second->name; });
        found.resize(std::min<std::size_t>(found.size(), 2));
        return found;
    }

    std::string mountPointOf(const std::string& number) const {
        const auto it = std::find_if(mounts.begin(), mounts.end(),
                                     [&](const MountEntry& m) { return m.deviceNumber == number; });
        return it == mounts.end() ? "" : it->mountPoint;
    }

    std::string kernelName(const MountEntry& mount) const {
        const auto it = devices.find(mount.deviceNumber);
        if (it != devices.end()) {
            return it->second.name;
        }
        return mount.source.starts_with("/dev/") ? lastName(mount.source) : "";
    }

    std::string labelOf(const std::string& kernel, const std::string& mountPoint) const {
        const auto it = labels.find(kernel);
        return it != labels.end() ? it->second : lastName(mountPoint);
    }

    DriveEntry mediaDrive(char letter, const MountEntry& mount) const {
        const auto device = devices.find(mount.deviceNumber);
        const DriveType type =
            kindOfMount(mount, device == devices.end() ? nullptr : &device->second);
        const std::string kernel = kernelName(mount);
        std::string label =
            type == DriveType::Remote ? mount.source : labelOf(kernel, mount.mountPoint);
        std::string dev = type == DriveType::Removable && !kernel.empty() ? "/dev/" + kernel : "";
        return {letter, type, mount.mountPoint, std::move(label), std::move(dev)};
    }
};

// The mount table escapes blank, tab, newline and backslash as "\ooo".
std::string unescapeOctal(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) &&
            isOctal(i + 3)) {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

} // namespace

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    for (std::string_view line : split(text, '\n')) {
        std::vector<std::string_view> fields;
        for (std::string_view field : split(line, ' ')) {
            if (!field.empty()) {
                fields.push_back(field);
            }
        }
        const auto dash = std::find(fields.begin() + std::min<std::size_t>(6, fields.size()),
                                    fields.end(), std::string_view("-"));
        if (fields.size() < 5 || dash == fields.end() || dash + 1 == fields.end()) {
            continue;
        }
        const std::string source = dash + 2 == fields.end() ? "" : unescapeOctal(*(dash + 2));
        mounts.push_back(
            {std::string(fields[2]), unescapeOctal(fields[4]), unescapeOctal(*(dash + 1)), source});
    }
    return mounts;
}

bool sameDevice(const MountEntry& mount, const std::string& device) {
    if (mount.source == device) {
        return true;
    }
#ifdef __linux__
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0 && S_ISBLK(info.st_mode)) {
        return mount.deviceNumber ==
               std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    }
#endif
    return false;
}

std::vector<DriveEntry> detectDrives(std::string_view mountInfoText, const HostPaths& paths) {
    const Detection found{parseMountInfo(mountInfoText), scanBlockDevices(paths.sysfs),
                          volumeLabels(paths.byLabel)};
    std::vector<DriveEntry> entries;
    std::set<std::string> disketteNumbers;
    for (const auto& [number, device] : found.diskettes()) {
        disketteNumbers.insert(number);
        const std::string root = found.mountPointOf(number);
        entries.push_back({static_cast<char>('a' + entries.size()), DriveType::Removable, root,
                           found.labelOf(device->name, root), "/dev/" + device->name});
    }
    const auto rootMount = std::find_if(found.mounts.rbegin(), found.mounts.rend(),
                                        [](const MountEntry& m) { return m.mountPoint == "/"; });
    const std::string rootKernel =
        rootMount == found.mounts.rend() ? "" : found.kernelName(*rootMount);
    entries.push_back({'c', DriveType::Fixed, "/", found.labelOf(rootKernel, "/"), {}});

    char letter = 'd';
    for (const MountEntry& mount : mediaMounts(found.mounts)) {
        if (letter > 'z') {
            break;
        }
        if (!disketteNumbers.contains(mount.deviceNumber)) {
            entries.push_back(found.mediaDrive(letter++, mount));
        }
    }
    return entries;
}

} // namespace dividra::platform::detail
