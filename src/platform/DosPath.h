#pragma once

#include "platform/DriveTable.h"
#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

// DOS paths ("c:\home\ann\data.zip") and the host paths they stand for, mapped lexically
// through the drive table: no file system access beyond finding a removable drive's medium.
namespace dividra::platform {

// A full DOS path taken apart: "." and ".." folded ("..") stops at the root), empty components
// (doubled or trailing backslashes) dropped.
struct DosPathParts {
    char letter = 'c';                   // lower case
    std::vector<std::string> components; // below the root; empty for the root itself
};

// Splits "c:\a\b", "C:\", "c:" (the root). A path without "letter:" or with "letter:" followed
// by anything but a backslash (relative to a current folder) gives PathNotFound; a component
// holding "/", a NUL, a control character or one of * ? " < > | : gives InvalidName.
Result<DosPathParts> splitDosPath(std::string_view dosPath);

// "c:\a\b" from its parts; the root is "c:\".
std::string joinDosPath(char letter, const std::vector<std::string>& components);

// The host folder drive `letter` stands for now. PathNotFound when the table lacks the letter,
// NotReady when a removable drive has no medium; `dosPath` names the path in the message.
Result<std::string> driveHostRoot(const DriveTable& drives, char letter, std::string_view dosPath);

// A full DOS path taken apart, with the host folder its drive stands for now. Errors as
// splitDosPath and driveHostRoot.
struct RootedDosPath {
    DosPathParts parts;
    std::string hostRoot;
};
Result<RootedDosPath> rootDosPath(const DriveTable& drives, std::string_view dosPath);

// The host path of a full DOS path; letter case is kept as typed (see PosixFileSystem for the
// case-blind lookup). Errors as splitDosPath and driveHostRoot.
Result<std::string> dosToHost(const DriveTable& drives, std::string_view dosPath);

// The DOS path of a host path (made absolute against the current folder when relative, then
// lexically normalised): the drive whose current root is the longest prefix wins, the first
// letter on a tie. PathNotFound when no drive holds it; InvalidName when a name below the
// drive's root can't be shown in DOS form.
Result<std::string> hostToDos(const DriveTable& drives, std::string_view hostPath);

// True when a host name can be shown and typed as a DOS name: valid UTF-8, not empty, and
// free of \ / : * ? " < > | and control characters.
bool isDosShowableName(std::string_view name);

} // namespace dividra::platform
