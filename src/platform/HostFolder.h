#pragma once

#include "platform/DriveTable.h"
#include "platform/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <variant>
#include <vector>

// Host folders seen with DOS eyes: listings with 8.3 aliases, and DOS paths found on the host
// with letter case ignored.
namespace dividra::platform::detail {

// "folder/name", without doubling a trailing "/".
std::string hostChild(const std::string& folder, std::string_view name);

// The names of one folder (without "." and "..") in the file system's order, with their aliases.
struct FolderNames {
    std::vector<std::string> names;
    std::vector<std::string> aliases; // aliases[i] is the 8.3 alias of names[i]
};

// The folder's names; on a VFAT mount with the kernel's own aliases, else, when asked for, those
// shortAliases gives (without them `aliases` stays empty). The errno on failure.
std::variant<FolderNames, int> listFolder(const std::string& host, bool withAliases = true);

// The folder's entry a typed name stands for: same letters in any case, else the same 8.3 alias.
// The smallest in byte order wins when several do; nothing when none does.
std::optional<std::string> matchName(const FolderNames& folder, std::string_view typed);

// osError for a folder on the way; a folder that is missing or no folder is PathNotFound.
Error folderError(int err, std::string_view dosPath);

// stat, or lstat for a link that points nowhere; false with errno set when neither works.
bool statEntry(const std::string& host, struct stat& info);

// The DOS attributes of host entry `name`: Directory or Archive by its type, ReadOnly without
// the owner write bit, Hidden for a name beginning with "." (but "." and ".."); else Normal.
std::uint32_t attributesOf(const struct stat& info, std::string_view name);

// A DOS path located on the host.
struct Located {
    char letter = 'c';
    std::string root;               // host root of the drive
    std::vector<std::string> names; // host names of the components
    std::string host;               // the full host path
    bool exists = false;            // false: the last component names nothing yet
};

// How locate treats the last component.
enum class LastName {
    Lookup, // as every other: exactly, else through matchName (a name the user typed)
    Exact,  // as given and not looked at: `exists` stays false (a name the program creates,
            // which the caller examines itself)
};

// Finds each component on the host, exactly or else through matchName; only the last may be
// missing. Errors as splitDosPath and driveHostRoot, PathNotFound for a missing folder on the
// way, else from the host's error number.
Result<Located> locate(const DriveTable& drives, std::string_view dosPath,
                       LastName last = LastName::Lookup);

// An entry that a name reaches although the folder stores it under another name.
struct OtherName {
    std::string name; // as the folder stores it
    bool byAlias;     // reached through its 8.3 alias; else the names differ in letter case only
};

// The entry of `folder` that the kernel would open for `name` when no entry has exactly that
// name: same letters in any case, else the same 8.3 alias. Nothing when `name` is stored as is
// or reaches nothing.
std::optional<OtherName> otherNameReached(const FolderNames& folder, std::string_view name);

// Whether the host folder is on a file system whose kernel matches names itself without regard
// to letter case (vfat, with its 8.3 aliases, and exfat).
bool kernelMatchesNames(const std::string& folderHost);

// locate() for something that must exist; `missing` is the code when it doesn't.
Result<Located> locateExisting(const DriveTable& drives, std::string_view dosPath,
                               ErrorCode missing = ErrorCode::NotFound);

} // namespace dividra::platform::detail
