#pragma once

#include <string>
#include <string_view>

// How segment and descriptor files are named. All paths are DOS paths.
namespace dividra::core {

// ".000", ".001", ... ".999", then ".1000" and on: at least three digits.
std::string SegmentExtension(int segmentNumber);

// The file-name part of a path: everything after its last "\" or ":".
std::string_view FileNamePart(std::string_view path);

// The folder holding a path's file: "c:\out" for "c:\out\data.kpn", "c:\" for "c:\data.kpn".
std::string_view FolderPart(std::string_view path);

// A hard-drive split's prefix: the folder and one "\" (a root such as c:\ keeps its one).
std::string HardDrivePrefix(std::string_view folder);

// A floppy split's prefix: the drive text ("a:") and "\", the diskette's root.
std::string FloppyPrefix(std::string_view driveText);

// The path with the extension of its file-name part replaced: from the last "." of that part
// on, or appended when the part has no ".".
std::string ReplaceExtension(std::string_view path, std::string_view extension);

// The prefix joined with the base name, its extension replaced by the segment extension:
// SegmentPath("c:\out\", "data.zip", 7) is "c:\out\data.007".
std::string SegmentPath(std::string_view prefix, std::string_view baseName, int segmentNumber);

} // namespace dividra::core
