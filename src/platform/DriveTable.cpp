#include "platform/DriveTable.h"

#include "platform/AsciiText.h"
#include "platform/MountTable.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace dividra::platform {

using namespace detail;

namespace {

Error badEntry(const std::string& what, std::string_view entry) {
    return Error{ErrorCode::InvalidArgument,
                 "DIVIDRA_DRIVES: " + what + " in entry \"" + std::string(entry) + "\""};
}

// The KIND words of DIVIDRA_DRIVES.
const std::map<std::string, DriveType, std::less<>>& driveKinds() {
    static const std::map<std::string, DriveType, std::less<>> kinds{
        {"removable", DriveType::Removable},
        {"fixed", DriveType::Fixed},
        {"remote", DriveType::Remote},
        {"cdrom", DriveType::CdRom},
        {"ramdisk", DriveType::RamDisk}};
    return kinds;
}

std::optional<DriveType> kindNamed(std::string_view name) {
    const auto it = driveKinds().find(lowerAscii(trimmed(name)));
    return it == driveKinds().end() ? std::nullopt : std::optional(it->second);
}

Result<DriveEntry> parseEntry(std::string_view entry) {
    const auto equals = entry.find('=');
    if (equals == std::string_view::npos) {
        return badEntry("missing \"=\"", entry);
    }
    const std::string_view letterText = trimmed(entry.substr(0, equals));
    const char letter = letterText.size() == 1 ? driveLetter(letterText[0]) : 0;
    if (letter == 0) {
        return badEntry("bad drive letter \"" + std::string(letterText) + "\"", entry);
    }
    const std::string_view rest = entry.substr(equals + 1);
    const auto comma = rest.find(',');
    const std::string_view path = rest.substr(0, comma);
    if (path.empty() || path.front() != '/') {
        return badEntry("host path \"" + std::string(path) + "\" is not absolute", entry);
    }
    if (comma == std::string_view::npos) {
        return badEntry("missing drive kind", entry);
    }
    const std::string_view tail = rest.substr(comma + 1);
    const auto labelComma = tail.find(',');
    const std::string_view kindText = tail.substr(0, labelComma);
    const auto kind = kindNamed(kindText);
    if (!kind) {
        return badEntry("bad drive kind \"" + std::string(trimmed(kindText)) + "\"", entry);
    }
    const std::string_view label =
        labelComma == std::string_view::npos ? std::string_view() : tail.substr(labelComma + 1);
    return DriveEntry{letter, *kind, lexicallyNormalHostPath(path), std::string(label), {}};
}

} // namespace

std::string_view detail::trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string_view> detail::split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string_view driveKindName(DriveType type) {
    for (const auto& [name, kind] : driveKinds()) {
        if (kind == type) {
            return name;
        }
    }
    return "unknown";
}

char driveLetter(char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c >= 'a' && c <= 'z' ? c : 0;
}

std::string lexicallyNormalHostPath(std::string_view absolutePath) {
    std::vector<std::string_view> kept;
    for (std::string_view part : split(absolutePath, '/')) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
        } else {
            kept.push_back(part);
        }
    }
    std::string out;
    for (std::string_view part : kept) {
        out += "/";
        out += part;
    }
    return out.empty() ? "/" : out;
}

Result<DriveTable> DriveTable::parse(std::string_view text) {
    DriveTable table;
    for (std::string_view entry : split(text, ';')) {
        if (trimmed(entry).empty()) {
            continue;
        }
        auto parsed = parseEntry(entry);
        if (!parsed) {
            return parsed.error();
        }
        if (table.find(parsed.value().letter) != nullptr) {
            return badEntry("drive letter \"" + std::string(1, parsed.value().letter) +
                                "\" given twice",
                            entry);
        }
        table.m_entries.push_back(std::move(parsed).value());
    }
    std::sort(table.m_entries.begin(), table.m_entries.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.letter < b.letter; });
    return table;
}

DriveTable DriveTable::detect() {
    const HostPaths paths;
    return detect(readText(paths.mountInfo), paths);
}

DriveTable DriveTable::detect(std::string_view mountInfoText, const HostPaths& paths) {
    DriveTable table;
    table.m_mountInfoPath = paths.mountInfo;
    table.m_entries = detectDrives(mountInfoText, paths);
    return table;
}

Result<DriveTable> DriveTable::fromEnvironment() {
    const char* value = std::getenv("DIVIDRA_DRIVES");
    if (value != nullptr && *value != '\0') {
        return parse(value);
    }
    return detect();
}

const DriveEntry* DriveTable::find(char letter) const {
    const char wanted = driveLetter(letter);
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const DriveEntry& e) { return e.letter == wanted; });
    return wanted != 0 && it != m_entries.end() ? &*it : nullptr;
}

std::optional<std::string> DriveTable::currentRoot(char letter) const {
    const DriveEntry* entry = find(letter);
    if (entry == nullptr) {
        return std::nullopt;
    }
    if (entry->type != DriveType::Removable) {
        return entry->hostRoot;
    }
    if (!entry->device.empty()) {
        for (const MountEntry& mount : parseMountInfo(readText(m_mountInfoPath))) {
            if (sameDevice(mount, entry->device)) {
                return mount.mountPoint;
            }
        }
        return std::nullopt;
    }
    // A configured folder holds a medium only while something is mounted on it: a bare mount
    // folder is an empty drive, not a diskette to write into or erase.
    std::error_code ec;
    const std::string real = std::filesystem::canonical(entry->hostRoot, ec).string();
    if (ec) {
        return std::nullopt;
    }
    for (const MountEntry& mount : parseMountInfo(readText(m_mountInfoPath))) {
        if (mount.mountPoint == real) {
            return entry->hostRoot;
        }
    }
    return std::nullopt;
}

} // namespace dividra::platform
